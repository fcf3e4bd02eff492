// The send lists and the command feedback on the send rig: the lists as the second user data
// source, the feedback table with its own source, on the fake clock.
#pragma once

#include "asdu/asdu_header.h"
#include "send/feedback.h"
#include "send/list_service.h"
#include "send/seli.h"
#include "send_rig.h"

namespace vdl::test {

struct ListRig : SendRig {
    SeLiSet seli;
    SendLists lists{seli, tel};
    T_RmTab tab;
    CommandFeedback fb{tab, FeedbackEnv{env, av}};

    explicit ListRig(std::vector<uint16_t> stations = {1}) : SendRig(std::move(stations)) {
        InitialSeLiSet(seli, texts);
        NewFeedbackTable(tab);
        sources.Add(&lists);
        sources.Add(&fb);
        com[0].bp.tlg = 255;
    }

    // List n with the given objects (index, address) active, of one type and cause 3, each
    // with the value address x 10.
    SeLi& List(int n, const std::vector<std::pair<int, int32_t>>& objects, uint8_t typ = 11) {
        SeLi& l = seli.at(n);
        for (const auto& [i, oa] : objects) {
            T_SeLiObj& o = l.at(i);
            o.akt = 1;
            o.oa = oa;
            o.typ = typ;
            o.urs = 3;
            o.inf.l = oa * 10;
        }
        l.h.ca = 1;
        lists.RecountList(n);
        return l;
    }

    // The frame channel 1 is to send (se.te).
    Bytes Built() const {
        const T_Telegramm& te = com[0].se.te;
        return Bytes(te.b, te.b + te.lg);
    }
    // Its ASDU (link address of one octet; without checksum and end).
    Bytes BuiltAsdu() const {
        Bytes f = Built();
        return f.size() > 8 ? Bytes(f.begin() + 6, f.end() - 2) : Bytes();
    }
};

} // namespace vdl::test
