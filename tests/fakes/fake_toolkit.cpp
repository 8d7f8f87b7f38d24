#include "tests/fakes/fake_toolkit.h"

#include <gtest/gtest.h>

namespace norvale::fakes {

MsgBoxResult StrictMessageBoxes::MsgBox(const std::string& text, MsgBoxButtons buttons,
                                        MsgBoxIcon icon, const std::string& title) {
  shown_.push_back({text, buttons, icon, title});
  if (expected_.empty()) {
    ADD_FAILURE() << "unexpected message box \"" << title << "\": " << text;
    return buttons == MsgBoxButtons::OK ? MsgBoxResult::OK : MsgBoxResult::Cancel;
  }
  auto [want, answer] = expected_.front();
  expected_.pop_front();
  if (!want.empty()) {
    EXPECT_EQ(want, text) << "message box text";
  }
  return answer;
}

void StrictMessageBoxes::Expect(std::string text, MsgBoxResult answer) {
  expected_.emplace_back(std::move(text), answer);
}

void FakeToolkit::Unexpected(const std::string& what) {
  ADD_FAILURE() << what;
}

}  // namespace norvale::fakes
