#pragma once
// Requests from the command line, carried out by the running program: the
// second Norvale.exe passes its arguments on and prints what comes back.
#include <string>
#include <string_view>
#include <vector>

#include "apps/norvale/command_line.h"
#include "ui/app_context.h"
#include "ui/main/runs.h"

namespace norvale {

// What the caller exits with, and what it prints.
struct Reply {
  int code = 0;  // 0 done, 2 usage error
  std::string text;
};

// Carries out a parsed request on the program's runs; the answer is in the
// language of `text`, with the names the window shows.
Reply ApplyRequest(Runs& runs, AppContext& app, const std::string& data_folder,
                   const Request& request, const CatalogueText& text);

// The answer to /cancel when `count` quick rows were removed.
std::string CancelledText(const CatalogueText& text, int count);

// The arguments travel one per line; the reply as its code, a line break and its text.
std::string EncodeArguments(const std::vector<std::string>& args);
std::vector<std::string> DecodeArguments(std::string_view text);
std::string EncodeReply(const Reply& reply);
// Code 3 and no text for what is no reply.
Reply DecodeReply(std::string_view text);

}  // namespace norvale
