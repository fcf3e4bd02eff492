// What every command of vordal-cli does before its work: --help, its options, the language of
// its words (English unless --lang ger) and the refusal of a command line it cannot use.
#pragma once

#include "cli.h"
#include "core/format.h"
#include "core/messages.h"
#include "core/text_table.h"

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace vdl::cli {

// Exit code of a refused command line: an unknown option, a bad value, an unusable input path.
constexpr int kExitRefused = 2;

// What came from the command line or an input file, for a message: bytes outside printable
// ASCII are shown as \xNN, so that a file cannot set the terminal's title or clear its screen.
std::string Shown(std::string_view s);
// A message of the program's own texts: its letters stay, control characters and bytes that
// are not UTF-8 are shown as \xNN.
std::string ShownText(std::string_view s);

// The program's messages on standard error, shown with ShownText; questions are declined, as
// there is no one to ask.
class CliMessages : public Messages {
public:
    void Error(const std::string& text) override;
    void Info(const std::string& text) override;
    Answer Ask(const std::string& text, bool cancel) override;
};

class Invocation {
public:
    // name: the command as typed ("decode", "log export"); usage: what --help prints.
    Invocation(std::string name, std::string usage);

    // Reads the command line: --help or -h prints the usage on standard output; then the
    // options (every command takes --lang), the language, and the words of the messages from
    // the program's directory (else from --texts). False when the run ends here: Exit() is 0
    // after --help, 1 when no program texts can be loaded, 2 for a refused command line.
    bool Start(const Args& args, std::vector<std::string> values,
               const std::vector<std::string>& flags);
    int Exit() const { return exit_; }
    // For a command that checks the program texts themselves: it runs without its words.
    void WordsOptional() { wordsOptional_ = true; }
    // Only the language and the words, for a command line that is refused as a whole: any
    // --lang among args counts, nothing else is looked at.
    bool StartWords(const Args& args);

    const Options& opt() const { return o_; }
    // 0 German, 1 English.
    int Lang() const { return lang_; }
    // The language for the program texts of dir: the chosen one, except that a folder without
    // the English texts gives German unless --lang asked for English.
    int LangOf(const std::string& dir) const;
    // The directory of the program texts: --texts DIR, else the program's own.
    std::string TextsDir() const;

    // The words of the messages in the chosen language.
    const std::string& tx(int n) const { return words_.tx(n); }
    std::string Say(std::string_view fmt, std::initializer_list<FmtArg> args) const;

    // "vordal-cli NAME: " and the message on standard error; returns code.
    int Fail(int code, const std::string& message) const;
    int Refuse(const std::string& message) const { return Fail(kExitRefused, message); }
    // The value of option name is refused; valid says what would be taken.
    int BadValue(const std::string& name, const std::string& valid) const;
    // Refuses an unknown sub-command (arg) naming the possible ones.
    int UnknownSubCommand(const std::string& arg, const std::string& possible) const;

    // An input file that can be read: 0, else the message and the exit code (2 for a
    // directory, 1 for a file that is missing or cannot be read).
    int CheckInputFile(const std::string& path) const;
    // The same for a log file, which must also begin like one (1 when it does not).
    int CheckLogFile(const std::string& path) const;

    // A number within min..max in option name, or def when not given; false after refusing.
    bool Number(const std::string& name, long long min, long long max, long long& out,
                const std::string& valid = "") const;
    // One of the words in option name (its index), or def when not given; false after refusing.
    bool Choice(const std::string& name, const std::vector<std::string>& words, int& out) const;

private:
    // Takes the language of --lang; false when a value is neither ger nor usa (kept in badLang_).
    bool ScanLang(const Args& args);
    bool LoadWords();

    std::string name_, usage_;
    Options o_;
    int exit_ = 0;
    int lang_ = 1;
    bool langGiven_ = false;
    bool wordsOptional_ = false;
    std::string badLang_;
    TextTable words_;
};

} // namespace vdl::cli
