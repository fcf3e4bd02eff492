// The link test window: switches that make a channel's link procedures misbehave on purpose.
// Non-modal and on top; it sets the switches as they are ticked and clears them all when it
// closes. Only one exists at a time.
#pragma once

#include "core/channel.h"

#include <QWidget>

#include <array>

class QListWidget;
class QPushButton;

namespace vdl {

class TextTable;

using LinkTestSwitches = std::array<bool, LT_COUNT>;

class TfmLnk : public QWidget {
    Q_OBJECT
public:
    // channelNr: 1 or 2 (for the caption); lt: the switches of that channel.
    TfmLnk(const TextTable& t, LinkTestSwitches& lt, int channelNr, QWidget* main);

    int ChannelNr() const { return channelNr_; }

    QListWidget* chlbLink;
    QPushButton* btnClose;

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    LinkTestSwitches& lt_;
    int channelNr_;
};

// Shows the link test window of a channel; when one is open already (whatever its channel) it
// is brought to the front instead. Returns the window.
TfmLnk* ShowLinkTest(QWidget* main, const TextTable& t, LinkTestSwitches& lt, int channelNr);
// The open link test window, or nullptr.
TfmLnk* OpenLinkTest();

} // namespace vdl
