#include "platform/file_system.h"

namespace norvale {
namespace {

int NumberOf(FileErrorKind kind) {
  switch (kind) {
    case FileErrorKind::NotFound:
      return 53;
    case FileErrorKind::PathNotFound:
      return 76;
    case FileErrorKind::AccessDenied:
      return 70;
    case FileErrorKind::DiskFull:
      return 61;
    case FileErrorKind::AlreadyExists:
      return 58;
    case FileErrorKind::BadName:
      return 52;
    case FileErrorKind::Other:
      break;
  }
  return 75;
}

const char* DescriptionOf(FileErrorKind kind) {
  switch (kind) {
    case FileErrorKind::NotFound:
      return "File not found";
    case FileErrorKind::PathNotFound:
      return "Path not found";
    case FileErrorKind::AccessDenied:
      return "Permission denied";
    case FileErrorKind::DiskFull:
      return "Disk full";
    case FileErrorKind::AlreadyExists:
      return "File already exists";
    case FileErrorKind::BadName:
      return "Bad file name or number";
    case FileErrorKind::Other:
      break;
  }
  return "Path/File access error";
}

}  // namespace

FileError::FileError(FileErrorKind kind, std::string path)
    : std::runtime_error(std::string(DescriptionOf(kind)) + ": " + path),
      kind_(kind),
      path_(std::move(path)) {}

int FileError::number() const {
  return NumberOf(kind_);
}
std::string FileError::description() const {
  return DescriptionOf(kind_);
}

}  // namespace norvale
