#pragma once

#include <QDialog>

class QProgressBar;
class QPushButton;

namespace meloport {

// Tells a running copy to stop. The copy clears it when it starts and reads it once per file;
// the progress dialog sets it, on its cancel button and on a failure of the copy.
inline bool gbAbortCopy = false;

// The copy's progress dialog: a bar that counts files and a cancel button. It is modeless, so
// the copy loop runs on while it is open, and lets it paint and take clicks once per file.
// One dialog serves every copy; each opening starts the bar afresh.
class DlgCopy final : public QDialog {
    Q_OBJECT
public:
    explicit DlgCopy(QWidget *owner);

    // Counts one more file; having counted gnMax, the dialog closes itself. Nothing when closed.
    void NextMusic();
    // Stops the copy: sets gbAbortCopy first, then closes the dialog if it is open.
    void AbortCopy();

    // The number of files of the current copy, set before the dialog is shown.
    int gnMax = 0;

    QProgressBar *ProgressBarCopy = nullptr;
    QPushButton *CancelButton = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void Form_Load();
    void CancelButton_Click();
    int twips(int value) const;
};

} // namespace meloport
