#pragma once
#include <stdexcept>
#include <string>

namespace nv {

// The one failure type of the program. Every error box and "\err.log" entry
// shows its three parts; numbers follow the classic runtime numbering.
class AppError : public std::runtime_error {
 public:
  AppError(int number, std::string description, std::string source = "Norvane")
      : std::runtime_error(description), number(number),
        description(std::move(description)), source(std::move(source)) {}
  int number;
  std::string description;
  std::string source;
};

namespace err {
constexpr int kOverflow = 6;
constexpr int kTypeMismatch = 13;
constexpr int kFileNotFound = 53;
constexpr int kPermissionDenied = 70;
constexpr int kPathFileAccess = 75;
constexpr int kAddressInUse = 10048;

inline AppError FileNotFound() { return AppError(kFileNotFound, "File not found"); }
inline AppError PermissionDenied() { return AppError(kPermissionDenied, "Permission denied"); }
inline AppError PathFileAccess() { return AppError(kPathFileAccess, "Path/File access error"); }
inline AppError Overflow() { return AppError(kOverflow, "Overflow"); }
inline AppError TypeMismatch() { return AppError(kTypeMismatch, "Type mismatch"); }
}  // namespace err

// Permission denied because another program holds the file open for a
// moment (a scanner, the resolver): worth another try, unlike a refusal.
class FileInUseError : public AppError {
 public:
  FileInUseError() : AppError(err::kPermissionDenied, "Permission denied") {}
};

}  // namespace nv
