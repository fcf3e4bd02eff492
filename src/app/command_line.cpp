#include "app/command_line.h"

#include "core/format.h"

#include <algorithm>
#include <cctype>

namespace vdl {

namespace {

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

bool HasDirectory(const std::string& p) {
    return p.find('/') != std::string::npos || p.find('\\') != std::string::npos ||
           (p.size() >= 2 && p[1] == ':');
}

} // namespace

bool IsAbsolutePath(const std::string& p) {
    if (p.size() >= 2 && std::isalpha(static_cast<unsigned char>(p[0])) && p[1] == ':') return true;
    if (p.size() >= 2 && p[0] == '\\' && p[1] == '\\') return true;
#ifndef _WIN32
    if (!p.empty() && p[0] == '/') return true;
#endif
    return false;
}

bool HasExtension(const std::string& file, const std::string& ext) {
    if (ext.empty()) return false;
    std::string e = ext[0] == '.' ? ext : "." + ext;
    size_t slash = file.find_last_of("/\\");
    size_t dot = file.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return false;
    return Lower(file.substr(dot)) == Lower(e);
}

CommandLine EvaluateCommandLine(const std::vector<std::string>& args, const TextTable& texts,
                                const CommandLineEnv& env) {
    CommandLine cl;
    auto inDataDir = [&](const std::string& name) {
        return HasDirectory(name) ? name : env.dataDir + name;
    };
    for (size_t i = 0; i < args.size(); ++i) {
        std::string a = args[i];
        if (a.empty()) continue;
        if (HasExtension(a, texts.tx(1200))) {
            bool start = a[0] == '-';
            if (start) a.erase(0, 1);
            cl.dtLog = inDataDir(a);
            if (start) cl.dtStartLog = cl.dtLog;
        } else if (HasExtension(a, texts.tx(1223))) {
            std::string f = inDataDir(a);
            cl.seTeLiNamed = true;
            if (env.fileExists(f)) {
                cl.dtSeTeLi = f;
            } else {
                cl.dtSeTeLi.clear();
                cl.errors.push_back(Format(texts.tx(883), {f}));
            }
        } else if (HasExtension(a, texts.tx(1370))) {
            std::string f = inDataDir(a);
            if (env.fileExists(f)) cl.dtOaTxt = f;
        } else if (!texts.tx(673).empty() && Lower(a) == Lower(texts.tx(673))) {
            cl.online = 0;
        } else if (!texts.tx(674).empty() && Lower(a) == Lower(texts.tx(674))) {
            cl.online = 1;
        } else if (Lower(a) == "t1") {
            // accepted without further effect
        } else if (Lower(a) == "t2") {
            cl.t2 = true;
        } else if (!env.dirExists(a)) {
            cl.errors.push_back(texts.tx(2109) + "\n" + a);
        } else if (i != 0 || !IsAbsolutePath(a)) {
            cl.errors.push_back(texts.tx(2110) + "\n" + a);
        } else if (!env.isWritable(a)) {
            cl.errors.push_back(texts.tx(2111) + "\n" + a + "\n" + texts.tx(2112) + "\n" +
                                texts.tx(2113));
        } else {
            std::string d = a;
            if (d.back() != '/' && d.back() != '\\') d += '/';
            cl.dataDir = d;
        }
    }
    return cl;
}

} // namespace vdl
