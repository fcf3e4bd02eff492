// vordal-cli: the program without a window. It decodes byte streams and log files, writes and
// exports logs, and monitors lines; its output is plain text, CSV or JSON lines.
#include "cli.h"
#include "invocation.h"

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <memory>
#include <vector>

#include <QCoreApplication>
#include <QGuiApplication>

namespace vdl::cli {

namespace {
std::vector<CommandEntry>& Registry() {
    static std::vector<CommandEntry> r;
    return r;
}
std::string g_progDir;
} // namespace

CliCommand::CliCommand(std::string name, std::string usage, Runner run) {
    Registry().push_back({std::move(name), std::move(usage), std::move(run)});
}

const std::vector<CommandEntry>& Commands() {
    return Registry();
}

std::string ProgramDir() {
    return g_progDir;
}

bool ParseNumber(const std::string& s, long long min, long long max, long long& out) {
    if (s.empty() || s.size() > 12) return false;
    size_t i = s[0] == '-' ? 1 : 0;
    if (i == s.size()) return false;
    long long v = 0;
    for (; i < s.size(); ++i) {
        if (s[i] < '0' || s[i] > '9') return false;
        v = v * 10 + (s[i] - '0');
    }
    if (s[0] == '-') v = -v;
    if (v < min || v > max) return false;
    out = v;
    return true;
}

Options::Result Options::Parse(const Args& args, const std::vector<std::string>& valueOptions,
                               const std::vector<std::string>& flagOptions) {
    auto contains = [](const std::vector<std::string>& v, const std::string& s) {
        return std::find(v.begin(), v.end(), s) != v.end();
    };
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a.size() > 2 && a.compare(0, 2, "--") == 0) {
            std::string name = a.substr(2), value;
            bool inlineValue = false;
            if (auto eq = name.find('='); eq != std::string::npos) {
                value = name.substr(eq + 1);
                name = name.substr(0, eq);
                inlineValue = true;
            }
            if (contains(valueOptions, name)) {
                if (!inlineValue) {
                    if (i + 1 >= args.size()) return {MissingValue, name};
                    value = args[++i];
                }
                values_.emplace_back(name, value);
            } else if (contains(flagOptions, name) && !inlineValue) {
                values_.emplace_back(name, "");
            } else {
                return {UnknownOption, a};
            }
        } else {
            positional_.push_back(a);
        }
    }
    return {};
}

bool Options::Has(const std::string& name) const {
    return std::any_of(values_.begin(), values_.end(),
                       [&](const auto& p) { return p.first == name; });
}

std::string Options::Get(const std::string& name, const std::string& def) const {
    for (auto it = values_.rbegin(); it != values_.rend(); ++it)
        if (it->first == name) return it->second;
    return def;
}

std::vector<std::string> Options::GetAll(const std::string& name) const {
    std::vector<std::string> out;
    for (const auto& [n, v] : values_)
        if (n == name) out.push_back(v);
    return out;
}

} // namespace vdl::cli

namespace {

// Printing into a PDF file needs the fonts of a GUI application; without a display it runs on
// the offscreen platform.
bool Prints(const std::vector<std::string>& args) {
    if (args.empty() || args[0] != "log") return false;
    for (size_t i = 1; i < args.size(); ++i)
        if (args[i] == "--kind=pdf" ||
            (args[i] == "--kind" && i + 1 < args.size() && args[i + 1] == "pdf"))
            return true;
    return false;
}

void PrintHelp() {
    std::cout << "usage: vordal-cli COMMAND [OPTIONS]\n"
                 "       vordal-cli --version | --help\n"
                 "       vordal-cli COMMAND --help\n\n"
                 "Every command speaks English unless --lang ger is given (its messages and the\n"
                 "interpretation). Exit codes: 0 done, 1 failed (a file missing or unreadable,\n"
                 "a port that cannot be opened), 2 a refused command line, 99 no program texts.\n\n"
                 "commands:\n";
    auto cmds = vdl::cli::Commands();
    std::sort(cmds.begin(), cmds.end(),
              [](const auto& a, const auto& b) { return a.name < b.name; });
    for (const auto& c : cmds) std::cout << c.usage << "\n";
}

QtMessageHandler g_qtHandler = nullptr;

// Without a desktop session Qt warns that it has no runtime directory (XDG_RUNTIME_DIR) and
// takes one in the temporary folder, which serves the instance lock as well: nothing a user of
// the command line needs to read. Every other message of Qt passes.
void QtMessages(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtWarningMsg && text.startsWith(QLatin1String("QStandardPaths: ")) &&
        (text.contains(QLatin1String("XDG_RUNTIME_DIR")) ||
         text.contains(QLatin1String("runtime directory"))))
        return;
    if (g_qtHandler) {
        g_qtHandler(type, context, text);
    } else {
        std::cerr << qFormatLogMessage(type, context, text).toStdString() << "\n";
    }
}

} // namespace

int main(int argc, char** argv) {
    g_qtHandler = qInstallMessageHandler(QtMessages);
    std::unique_ptr<QCoreApplication> app;
    if (Prints(std::vector<std::string>(argv + 1, argv + argc))) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    vdl::cli::g_progDir =
        (std::filesystem::path(QCoreApplication::applicationDirPath().toStdString()) / "").string();
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        PrintHelp();
        return args.empty() ? vdl::cli::kExitRefused : 0;
    }
    if (args[0] == "--version") {
        std::cout << "vordal-cli " << VORDAL_VERSION << "\n";
        return 0;
    }
    for (const auto& c : vdl::cli::Commands()) {
        if (c.name == args[0]) return c.run(vdl::cli::Args(args.begin() + 1, args.end()));
    }
    vdl::cli::Invocation in("", "");
    if (!in.StartWords(args)) return in.Exit();
    return in.Refuse(in.Say(in.tx(2200), {vdl::cli::Shown(args[0])}));
}
