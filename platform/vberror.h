#pragma once
// The classic runtime's error: a number and a description. Platform calls throw it; every game
// operation catches it at its own boundary and reports it with its own message.

#include <QString>
#include <stdexcept>

namespace tv {

class VbError : public std::runtime_error {
public:
    // An empty description takes the classic text for the number.
    explicit VbError(int number, const QString& description = {});

    int number() const { return number_; }
    const QString& description() const { return description_; }

private:
    int number_;
    QString description_;
};

// The classic runtime's description of an error number ("Type mismatch", "File not found", ...);
// "Application-defined or object-defined error" for numbers it does not name.
QString classicErrorDescription(int number);

namespace err {
constexpr int InvalidCall = 5;
constexpr int Overflow = 6;
constexpr int OutOfMemory = 7;
constexpr int SubscriptOutOfRange = 9;
constexpr int DivisionByZero = 11;
constexpr int TypeMismatch = 13;
constexpr int BadFileNameOrNumber = 52;
constexpr int FileNotFound = 53;
constexpr int BadFileMode = 54;
constexpr int FileAlreadyOpen = 55;
constexpr int DeviceIOError = 57;
constexpr int FileAlreadyExists = 58;
constexpr int InputPastEndOfFile = 62;
constexpr int BadFileName = 64;
constexpr int TooManyFiles = 67;
constexpr int PermissionDenied = 70;
constexpr int PathFileAccessError = 75;
constexpr int PathNotFound = 76;
constexpr int ObjectVariableNotSet = 91;
constexpr int InvalidUseOfNull = 94;
constexpr int InvalidPropertyValue = 380;
constexpr int ControlArrayElementDoesNotExist = 340;
constexpr int ObjectAlreadyLoaded = 360;
constexpr int ObjectRequired = 424;
constexpr int ObjectDoesNotSupport = 438;
constexpr int InvalidPicture = 481;
} // namespace err

} // namespace tv
