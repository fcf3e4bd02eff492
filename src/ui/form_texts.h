// The frame every settings dialog shares: controls that take their texts by number (labels,
// buttons, check boxes, combo boxes, entry fields, check lists), a status bar that shows the
// hint of the focused control, the error mark of an invalid field, the focus index the
// records keep, and the placement beside the main window.
#pragma once

#include <QDialog>

#include <functional>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QVBoxLayout;

namespace vdl {

class TextTable;

QString Qs(const std::string& s);
std::string Ss(const QString& s);

// Marks a field in the error colour, or clears the mark. The property "vdlError" tells tests
// which fields are marked.
void MarkError(QWidget* w, bool error);
bool IsMarked(const QWidget* w);

// The hint number a control carries (property "vdlHint"); 0 when it has none.
void SetHint(QWidget* w, int n);
// A hint that is not a text of its own (a part of a text): shown instead of the number's.
void SetHintText(QWidget* w, const QString& hint);
int HintOf(const QWidget* w);

// Reads a decimal integer from an entry field; outside lo..hi, or no number, marks the field
// and returns false.
bool ReadIntField(QLineEdit* e, int lo, int hi, int& v);

// Fills a check list box from a comma-separated text; every entry gets a check box.
void FillCheckList(QListWidget* lb, const std::string& commaText);
bool IsChecked(const QListWidget* lb, int row);
void SetChecked(QListWidget* lb, int row, bool on);

// Fills a combo box with entries (the first selected).
void FillCombo(QComboBox* cb, const std::vector<std::string>& entries);
// Selects an entry when it exists; otherwise the first one.
void SelectEntry(QComboBox* cb, int index);

class FormDialog : public QDialog {
    Q_OBJECT
public:
    FormDialog(const TextTable& t, QWidget* parent);

    const TextTable& texts() const { return t_; }
    QString tx(int n) const;

    // Controls by the form rules (n is the control's text number).
    QLabel* MakeLabel(int n);
    QPushButton* MakeButton(int n);                        // caption n, hint 519
    QCheckBox* MakeCheck(int n);                           // caption n, hint 502
    QComboBox* MakeCombo(int n, QLabel** label = nullptr); // label n, entries n+2.., hint 502
    QLineEdit* MakeEntry(int n, QLabel** label = nullptr); // label n, margin 5, hint n+1
    QListWidget* MakeCheckList(int entriesText, int hint);

    // The OK, Cancel and Help buttons at the bottom; Help and F1 open the help context.
    void AddButtons(int helpContext);
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }
    QPushButton* helpButton() const { return help_; }
    QLabel* hintLine() const { return bar_; }
    QVBoxLayout* body() const { return body_; }

    // The hint text shown for the focused control.
    QString ShownHint() const;
    // Shows the hint of w (or of the nearest parent that carries one).
    void ShowHintOf(QWidget* w);

    // The controls in the order the stored focus index counts them.
    void SetFocusOrder(std::vector<QWidget*> order);
    // Index of the control that last had the focus (0 when none did).
    int FocusIndex() const;
    // Gives the focus to the control of a stored index (nothing for an index outside).
    void RestoreFocus(int ilo);

    // Enter in an entry field moves to the next control; this replaces that for one field.
    void SetEnterAction(QLineEdit* e, std::function<void()> action);

    // Top 64 pixels below the main window's top, left at its right edge kept on the screen.
    void PlaceBesideMain(QWidget* main);

    // OK runs Confirm; the dialog closes only when it succeeds.
    void accept() override;

    // Where the Help buttons and F1 send their context number (the guide of the program).
    static void SetHelpHandler(std::function<void(int)> handler);
    static void OpenHelp(int context);

protected:
    // Validates the fields and writes them into the copy; false keeps the dialog open.
    virtual bool Confirm() { return true; }
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    void OnFocusChanged(QWidget* old, QWidget* now);

    const TextTable& t_;
    QVBoxLayout* body_ = nullptr;
    QLabel* bar_ = nullptr; // the dialog's status line: the hint of the focused control
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QPushButton* help_ = nullptr;
    std::vector<QWidget*> order_;
    int lastIndex_ = -1;
    std::vector<std::pair<QLineEdit*, std::function<void()>>> enterActions_;
};

} // namespace vdl
