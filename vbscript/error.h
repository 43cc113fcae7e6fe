#pragma once
// Script errors: the classic error numbers and descriptions, the place where they happened, and
// the exception that carries them through the engine and out to the host.

#include <exception>
#include <string>

namespace vbs {

namespace errc {
constexpr int InvalidCall = 5;
constexpr int Overflow = 6;
constexpr int OutOfMemory = 7;
constexpr int SubscriptOutOfRange = 9;
constexpr int ArrayLocked = 10;
constexpr int DivisionByZero = 11;
constexpr int TypeMismatch = 13;
constexpr int OutOfStringSpace = 14;
constexpr int OutOfStackSpace = 28;
constexpr int ProcedureNotDefined = 35;
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
constexpr int ForLoopNotInitialized = 92;
constexpr int InvalidUseOfNull = 94;
constexpr int InvalidFileFormat = 321;
constexpr int ControlArrayElementDoesNotExist = 340;
constexpr int ObjectAlreadyLoaded = 360;
constexpr int CannotUnloadDesignTimeControl = 362;
constexpr int InvalidPropertyValue = 380;
constexpr int ObjectRequired = 424;
constexpr int CannotCreateObject = 429;
constexpr int NoSuchMember = 438;
constexpr int ArgumentNotOptional = 449;
constexpr int WrongArgumentCount = 450;
constexpr int NotACollection = 451;
constexpr int KeyAlreadyInCollection = 457;
constexpr int UnsupportedAutomationType = 458;
constexpr int InvalidPicture = 481;
constexpr int PrinterError = 482;
constexpr int VariableUndefined = 500;
constexpr int IllegalAssignment = 501;
constexpr int InvalidReference = 505; // a member of no object: .Name outside With
constexpr int ClassNotDefined = 506;
constexpr int ScriptTimedOut = 5999; // the engine's own: the host's time-out stopped the script

// Compile errors.
constexpr int SyntaxError = 1002;
constexpr int ExpectedColon = 1003;
constexpr int ExpectedLParen = 1005;
constexpr int ExpectedRParen = 1006;
constexpr int ExpectedRBracket = 1007;
constexpr int ExpectedIdentifier = 1010;
constexpr int ExpectedEquals = 1011;
constexpr int ExpectedIf = 1012;
constexpr int ExpectedTo = 1013;
constexpr int ExpectedEnd = 1014;
constexpr int ExpectedFunction = 1015;
constexpr int ExpectedSub = 1016;
constexpr int ExpectedThen = 1017;
constexpr int ExpectedWend = 1018;
constexpr int ExpectedLoop = 1019;
constexpr int ExpectedNext = 1020;
constexpr int ExpectedCase = 1021;
constexpr int ExpectedSelect = 1022;
constexpr int ExpectedExpression = 1023;
constexpr int ExpectedStatement = 1024;
constexpr int ExpectedEndOfStatement = 1025;
constexpr int ExpectedIntegerConstant = 1026;
constexpr int ExpectedWhileUntil = 1027;
constexpr int ExpectedWhileUntilEnd = 1028;
constexpr int ExpectedWith = 1029;
constexpr int InvalidNumber = 1031;
constexpr int InvalidCharacter = 1032;
constexpr int UnterminatedString = 1033;
constexpr int InvalidUseOfMe = 1037;
constexpr int LoopWithoutDo = 1038;
constexpr int InvalidExit = 1039;
constexpr int InvalidForVariable = 1040;
constexpr int NameRedefined = 1041;
constexpr int MustBeFirstStatement = 1042;
constexpr int ParenthesesOnSubCall = 1044;
constexpr int ExpectedLiteral = 1045;
constexpr int ExpectedIn = 1046;
constexpr int ExpectedClass = 1047;
constexpr int MustBeInsideClass = 1048;
constexpr int ExpectedLetSetGet = 1049;
constexpr int ExpectedProperty = 1050;
constexpr int InconsistentPropertyArgs = 1051;
constexpr int MultipleDefaults = 1052;
constexpr int InitTerminateArgs = 1053;
constexpr int PropertyLetSetArgs = 1054;
constexpr int UnexpectedNext = 1055;
constexpr int DefaultOnlyOnProcedures = 1056;
constexpr int DefaultMustBePublic = 1057;
constexpr int DefaultOnlyOnGet = 1058;
} // namespace errc

// The classic description of an error number; "Unknown runtime error" when it has none.
std::u16string errorDescription(int number);
// Whether the table has a description of its own for the number.
bool hasErrorDescription(int number);
bool isCompileError(int number);

constexpr char16_t kRuntimeSource[] = u"Microsoft VBScript runtime error";
constexpr char16_t kCompileSource[] = u"Microsoft VBScript compilation error";

class ScriptError : public std::exception {
public:
    // An empty description takes the classic text of the number.
    explicit ScriptError(int number, std::u16string description = {}, std::u16string source = {});

    // The name the error is about ("Variable is undefined: 'x'"), shown by hosts, not in Err.
    static ScriptError named(int number, std::string_view name);

    int number() const { return number_; }
    const std::u16string& description() const { return description_; }
    const std::u16string& source() const { return source_; }
    const std::string& name() const { return name_; }
    // Description plus the name involved, as error reports show it.
    std::u16string message() const;

    bool hasPosition() const { return line_ > 0; }
    int line() const { return line_; }
    int column() const { return column_; }
    void setPosition(int line, int column) {
        line_ = line;
        column_ = column;
    }

    // A fatal error (the time-out) cannot be trapped by On Error Resume Next.
    bool fatal() const { return fatal_; }
    void setFatal() { fatal_ = true; }

    const char* what() const noexcept override;

private:
    int number_;
    std::u16string description_;
    std::u16string source_;
    std::string name_;
    int line_ = 0;
    int column_ = 0;
    bool fatal_ = false;
    mutable std::string what_;
};

} // namespace vbs
