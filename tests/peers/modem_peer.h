// A dial-up modem of our own that speaks the AT command conventions, for testing how a tool
// dials, answers and hangs up. Pure logic: no I/O, time comes in as milliseconds, and what
// the modem sends to the terminal or to the remote side is taken out by the caller.
#pragma once

#include <algorithm>
#include <cctype>
#include <deque>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace modempeer {

using Ms = long long;

// How the connect message reaches the terminal: "CONNECT 9600" on one line, "CONNECT" and
// "9600" on two lines, or one line written in two pieces with a pause between them. Real
// modems do all three, and a tool has to recognise each.
enum class Form { Line, Split, Pieces };
enum class Result { Connect, Busy, NoCarrier, NoDialtone };
// Command: no call. Connecting: after ATD or ATA, until the result. Online: data passes.
// OnlineCommand: after the escape, commands are taken while the call stays up.
enum class State { Command, Connecting, Online, OnlineCommand };

inline const char* name(State s) {
    const char* names[] = {"command", "connecting", "online", "online-command"};
    return names[int(s)];
}

struct Config {
    bool echo = true;
    Form form = Form::Line;
    int speed = 9600; // 0: a bare "CONNECT"
    Ms dialDelayMs = 2000;
    Result dialResult = Result::Connect;
    Ms piecePauseMs = 300;
    Ms ringIntervalMs = 3000;
    int rings = 5;     // the caller gives up after this many rings
    Ms guardMs = 1000; // silence before and after "+++"
};

struct Counters {
    unsigned long long commands = 0, connects = 0, hangupsAth = 0, hangupsDtr = 0,
                       hangupsRemote = 0, rings = 0, errors = 0, bytesToRemote = 0,
                       bytesFromRemote = 0;
};

// kind: "rx" a line from the terminal, "tx" text to it, "state" (text: the new state,
// why: the reason), "note" something the modem ignored.
struct Event {
    Ms ms;
    std::string kind, text, why;
};

class Modem {
public:
    explicit Modem(Config c = {}) : cfg_(c) { reset(); }

    Counters stats;
    State state() const { return state_; }

    void fromTerminal(const std::string& in, Ms now) {
        tick(now);
        for (char c : in) {
            if (state_ == State::Online) {
                toRemote_ += c;
                ++stats.bytesToRemote;
                watchEscape(c, now);
            } else if (state_ == State::Connecting) {
                // Any key abandons a call being set up, but the LF that follows the CR of
                // the dial command must not.
                if (c == '\n') continue;
                hangUp(now, "call abandoned by a key");
                answer("NO CARRIER", now);
            } else {
                if (echo_) terminal_ += c;
                if (c == '\r') {
                    std::string line;
                    line.swap(line_);
                    execute(line, now);
                } else if (c != '\n') {
                    line_ += c;
                }
            }
        }
    }

    void fromRemote(const std::string& in, Ms now) {
        tick(now);
        if (state_ != State::Online) return note(now, "remote data dropped: not online");
        terminal_ += in;
        stats.bytesFromRemote += in.size();
    }

    // An incoming call: RING now and every ringIntervalMs until answered or the caller
    // gives up.
    void ring(Ms now) {
        tick(now);
        if (state_ != State::Command || ringing_) return note(now, "ring ignored: line busy");
        ringing_ = true;
        ringsSent_ = 0;
        nextRing_ = now;
        tick(now);
    }

    void remoteHangup(Ms now) {
        tick(now);
        if (!connected()) return note(now, "remote hang-up ignored: no call");
        ++stats.hangupsRemote;
        hangUp(now, "remote hung up");
        answer("NO CARRIER", now);
    }

    // A pseudo-terminal carries no DTR, so the dropped line comes in as a call. Like a
    // modem set to &D2 it hangs up and goes to command state.
    void dtrDrop(Ms now) {
        tick(now);
        if (state_ == State::Command) return note(now, "DTR drop: no call");
        if (connected()) ++stats.hangupsDtr;
        hangUp(now, "DTR dropped");
        answer("NO CARRIER", now);
    }

    void tick(Ms now) {
        while (!pending_.empty() && pending_.front().at <= now) {
            const Pending p = pending_.front();
            pending_.pop_front();
            send(p.text, now);
            if (p.then == State::Online) {
                ++stats.connects;
                lastByte_ = now;
                pluses_ = 0;
            }
            if (p.then != state_) setState(p.then, now, p.why);
        }
        if (ringing_ && now >= nextRing_) {
            if (ringsSent_ >= cfg_.rings) {
                ringing_ = false;
                note(now, "caller gave up");
            } else {
                answer("RING", now);
                ++stats.rings;
                nextRing_ = now + cfg_.ringIntervalMs;
                // S0 > 0: answered by itself after that many rings.
                if (++ringsSent_ >= s_[0] && s_[0] > 0)
                    startCall(Result::Connect, now, "auto-answer");
            }
        }
        if (state_ == State::Online && pluses_ == 3 && now - lastByte_ >= cfg_.guardMs) {
            pluses_ = 0;
            setState(State::OnlineCommand, now, "escape");
            answer("OK", now);
        }
    }

    std::string takeTerminal() { return std::exchange(terminal_, {}); }
    std::string takeRemote() { return std::exchange(toRemote_, {}); }
    std::vector<Event> takeEvents() { return std::exchange(events_, {}); }

private:
    struct Pending {
        Ms at;
        std::string text;
        State then;
        std::string why;
    };

    Config cfg_;
    State state_ = State::Command;
    bool echo_ = true, verbose_ = true, ringing_ = false;
    int ringsSent_ = 0, pluses_ = 0;
    Ms nextRing_ = 0, lastByte_ = 0;
    std::map<int, int> s_;
    std::deque<Pending> pending_;
    std::string line_, terminal_, toRemote_;
    std::vector<Event> events_;

    bool connected() const { return state_ == State::Online || state_ == State::OnlineCommand; }
    void reset() {
        echo_ = cfg_.echo;
        verbose_ = true;
        s_.clear();
    }
    void note(Ms now, const std::string& text) { events_.push_back({now, "note", text, {}}); }
    void setState(State s, Ms now, const std::string& why) {
        state_ = s;
        events_.push_back({now, "state", name(s), why});
    }
    void send(const std::string& text, Ms now) {
        terminal_ += text;
        events_.push_back({now, "tx", text, {}});
    }
    std::string resultText(const std::string& r) const {
        static const std::map<std::string, int> codes = {
            {"OK", 0},    {"CONNECT", 1},     {"RING", 2}, {"NO CARRIER", 3},
            {"ERROR", 4}, {"NO DIALTONE", 6}, {"BUSY", 7}};
        return verbose_ ? "\r\n" + r + "\r\n" : std::to_string(codes.at(r)) + "\r";
    }
    void answer(const std::string& r, Ms now) {
        if (r == "ERROR") ++stats.errors;
        send(resultText(r), now);
    }
    std::vector<std::string> connectPieces() const {
        const std::string speed = cfg_.speed > 0 ? std::to_string(cfg_.speed) : "";
        if (!verbose_ || speed.empty()) return {resultText("CONNECT")};
        if (cfg_.form == Form::Split) return {"\r\nCONNECT\r\n" + speed + "\r\n"};
        if (cfg_.form == Form::Pieces) return {"\r\nCONN", "ECT " + speed + "\r\n"};
        return {"\r\nCONNECT " + speed + "\r\n"};
    }
    void hangUp(Ms now, const std::string& why) {
        pending_.clear();
        ringing_ = false;
        if (state_ != State::Command) setState(State::Command, now, why);
    }
    // Dialling and answering both end, after the handshake, in a result.
    void startCall(Result r, Ms now, const std::string& why) {
        ringing_ = false;
        setState(State::Connecting, now, why);
        const Ms at = now + cfg_.dialDelayMs;
        if (r != Result::Connect) {
            const char* texts[] = {"", "BUSY", "NO CARRIER", "NO DIALTONE"};
            pending_.push_back({at, resultText(texts[int(r)]), State::Command, texts[int(r)]});
            return;
        }
        const auto pieces = connectPieces();
        for (std::size_t i = 0; i < pieces.size(); ++i)
            pending_.push_back({at + Ms(i) * cfg_.piecePauseMs, pieces[i],
                                i + 1 == pieces.size() ? State::Online : State::Connecting,
                                "connected"});
    }
    // "+++" counts only after guardMs of silence, with each "+" close to the one before;
    // the silence after it is waited for in tick(). The pluses still reach the remote side.
    void watchEscape(char c, Ms now) {
        const Ms gap = now - lastByte_;
        const bool fits = pluses_ == 0 ? gap >= cfg_.guardMs : gap <= cfg_.guardMs;
        pluses_ = c == '+' && pluses_ < 3 && fits ? pluses_ + 1 : 0;
        lastByte_ = now;
    }

    void execute(const std::string& line, Ms now) {
        if (line.empty()) return;
        events_.push_back({now, "rx", line, {}});
        if (line.rfind("AT", 0) != 0 && line.rfind("at", 0) != 0) return note(now, "not a command");
        ++stats.commands;
        std::size_t i = 2;
        auto number = [&] {
            int v = 0;
            while (i < line.size() && std::isdigit(static_cast<unsigned char>(line[i])))
                v = std::min(v * 10 + (line[i++] - '0'), 100000);
            return v;
        };
        auto flag = [&](bool& b) {
            const int v = number();
            b = v == 1;
            return v <= 1;
        };
        std::string info; // text a query answers before OK
        while (i < line.size()) {
            const char c = char(std::toupper(static_cast<unsigned char>(line[i++])));
            bool ok = true;
            if (c == ' ') {
            } else if (c == 'E') {
                ok = flag(echo_);
            } else if (c == 'V') {
                ok = flag(verbose_);
            } else if (c == 'Z') {
                number();
                reset();
            } else if (c == '&' && i < line.size() && std::toupper(line[i]) == 'F') {
                ++i;
                number();
                reset();
            } else if (c == 'S') {
                const int reg = number();
                const char op = i < line.size() ? line[i++] : '\0';
                const int v = op == '=' ? number() : 0;
                ok = (op == '=' && v <= 255) || op == '?';
                if (op == '=' && ok) s_[reg] = v;
                const std::string value = std::to_string(s_[reg]);
                if (op == '?') info += "\r\n" + std::string(3 - value.size(), '0') + value + "\r\n";
            } else if (c == 'H') {
                number();
                if (connected()) ++stats.hangupsAth;
                hangUp(now, "ATH");
            } else if (c == 'D' || c == 'A') {
                // The rest of the line is the number to dial.
                if (state_ != State::Command) return answer("ERROR", now);
                if (c == 'D') return startCall(cfg_.dialResult, now, "dial " + line.substr(i));
                if (!ringing_) return answer("NO CARRIER", now);
                return startCall(Result::Connect, now, "answer");
            } else if (c == 'O') {
                number();
                if (state_ != State::OnlineCommand) return answer("NO CARRIER", now);
                std::string all;
                for (const auto& p : connectPieces()) all += p;
                send(all, now);
                lastByte_ = now;
                return setState(State::Online, now, "ATO");
            } else {
                ok = false;
            }
            if (!ok) return answer("ERROR", now);
        }
        if (!info.empty()) send(info, now);
        answer("OK", now);
    }
};

} // namespace modempeer
