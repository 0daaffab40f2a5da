#ifndef COMMON_CONSOLE_H_
#define COMMON_CONSOLE_H_

/// The console of all three programs: messages on standard output, line by line, with the
/// output column tracked so that side-by-side fields start at the tab stops every 14
/// columns (1, 15, 29, ...); single-key menus; typed answers.
///
/// On a terminal, keys are read in raw mode without echo (multi-byte keys such as arrows
/// are read whole and ignored); otherwise every byte of standard input is one key. End of
/// input at a key prompt ends the program with status 0; a typed answer at end of input is
/// empty. The terminal mode is restored on every way out.

#include <string>
#include <string_view>
#include <vector>

/// Installs the terminal restoration (exit and signal handlers). Call once at start.
void InitConsole();

/// Text without a line end; the column advances by its byte length.
void Print(std::string_view text);
/// Text, then a line end.
void PrintLine(std::string_view text = "");
/// Moves to the first tab stop strictly to the right of the cursor, printing blanks.
void PrintTab();
/// One line on standard error, such as a failing command's message; what was printed
/// before it is flushed first, so the two streams keep their order on a terminal.
void PrintError(std::string_view text);
/// `text` on standard error as it is, in one write where the system takes it whole.
void WriteStandardError(std::string_view text);

/// Waits for one of `keys` and returns it; other keys are ignored without a trace. The
/// caller prints the choices.
char WaitForKey(std::string_view keys);
/// Waits for any key at all.
void WaitForAnyKey();

/// The longest answer line kept: the rest of a longer line is read and discarded, so that no
/// input grows memory (an answer item keeps at most 4096 bytes of it anyway).
inline constexpr size_t kMaxAnswerLineLength = 4 * 4096;

/// Prints `prompt` and "? ", reads one line and returns it (without line end), at most its
/// first kMaxAnswerLineLength bytes. Without a terminal the program prints the line end
/// itself.
std::string ReadAnswerLine(std::string_view prompt);

/// The input item of a typed answer: leading blanks and tabs skipped; the item ends at the
/// line end or at the first comma outside double quotes; a value that begins with a
/// double quote runs to the closing quote (quotes removed); at most 4096 bytes are kept.
std::string ParseInputItem(std::string_view line);

/// Prompt and input item in one.
std::string ReadInputItem(std::string_view prompt);

/// Clears the screen on a terminal; prints nothing otherwise.
void ClearConsole();

/// Ends the process with status 0, restoring the terminal first and starting the program
/// that "start" handed this console to (cmd_start.h), if any. Where standard output could not be
/// written (a full device, a closed stream), it says so on standard error and ends with status 1
/// instead, starting nothing; any other way out through exit() does the same.
[[noreturn]] void EndProgram();

/// Ends the process with status 1 after a failure that leaves the run unfinished: prints
/// `message` as one line on standard error and restores the terminal; nothing is started.
/// Safe to call from any thread.
[[noreturn]] void EndProgramOnFailure(std::string_view message);

/// For tests: reads keys and lines from `fd` instead of standard input and treats it as
/// no terminal.
void SetConsoleInputForTesting(int fd);
/// For tests: what the console prints is appended to `out` and error lines to `err`
/// instead of going to standard output and standard error; null restores the streams.
void SetConsoleOutputForTesting(std::string* out, std::string* err);

#endif  // COMMON_CONSOLE_H_
