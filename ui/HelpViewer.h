#pragma once

#include <QMainWindow>

class QTextBrowser;

namespace meloport {

// The program's help window: shows the help document at its contents or at one topic. One
// window serves every request; it is a window of its own and does not keep the program running
// once the main window has closed.
class HelpViewer final : public QMainWindow {
    Q_OBJECT
public:
    explicit HelpViewer(QWidget *parent = nullptr);

    // Shows `helpFile` at `topic` (kHelpContents for the contents) and brings the window up.
    void showTopic(const QString &helpFile, int topic);

private:
    QTextBrowser *m_browser = nullptr;
    QString m_helpFile;
};

} // namespace meloport
