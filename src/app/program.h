// The program without its window: every single global instance (channels, settings, texts,
// and the tables of the other subsystems) owned by one object, and the start-up order. The
// desktop program and the command-line program both drive a Program; tests can make two.
#pragma once

#include "asdu/object_texts.h"
#include "asdu/renderer.h"
#include "core/allg_var.h"
#include "core/channel.h"
#include "core/messages.h"
#include "core/param_set.h"
#include "core/settings_records.h"
#include "core/text_table.h"
#include "log/filter.h"
#include "log/log_store.h"

#include <memory>

#include <string>

namespace vdl {

// Exit code of a start whose German program texts cannot be loaded.
constexpr int kExitNoTexts = 99;

class Program {
public:
    Program(std::string progDir, Messages& msg);

    // The first steps of the start-up order: the German program texts. Returns false (after
    // the loader's message) when they cannot be loaded; the process then ends with 99.
    bool LoadStartTexts();
    // Loads the texts of another language; on failure the table holds the partial load.
    bool LoadLanguage(int lang);

    // The caption of the main window (also the application title).
    std::string Caption() const;

    Messages& msg;
    TextTable texts;
    T_AllgVar av;
    T_AllgPar ap;
    T_ProgPar pp;
    T_ComVar com[2];
    T_ParaBlocks pblk = DefaultParaBlocks(); // send telegrams, lists, feedback as stored

    // Makes the log store; stamps gives the time stamps of new telegrams (the time base).
    void CreateLog(Clock& stamps);
    // What the filters test against: the settings and the log's oldest number.
    FilterEnv Filters() const;
    ParamSetEnv ParamEnv();
    std::unique_ptr<LogStore> log;

    // The object text table. Loading replaces it; an unreadable file keeps it, is reported and
    // entered into the log as a message, and forgets dtOaTxt.
    ObjectTexts objects;
    bool LoadObjectTexts(const std::string& path);
    // What the renderer reads: settings, channels, object texts, the log's oldest number and
    // the given date and time forms.
    RenderEnv Rendering(const LocaleFormats& loc) const;
};

// Messages written to standard error (the command-line program).
class StderrMessages : public Messages {
public:
    void Error(const std::string& text) override;
    void Info(const std::string& text) override;
    Answer Ask(const std::string& text, bool cancel) override;
};

} // namespace vdl
