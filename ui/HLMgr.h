#pragma once

#include <QObject>
#include <QPointer>

class QTextEdit;

namespace meloport {

class UserInteraction;

// Makes the link in the about box clickable. While installed it watches the mouse on the link
// control: a press of the left button on a link reads the link's text out of the control and
// hands it to the desktop, which opens a web address in the web browser. It only looks: every
// event still reaches the control as before.
class HLMgr final : public QObject {
    Q_OBJECT
public:
    explicit HLMgr(UserInteraction &interaction, QObject *parent = nullptr);

    // The about box installs it when it loads and removes it when it unloads.
    void install(QTextEdit *linkWnd);
    void remove();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    UserInteraction &m_interaction;
    QPointer<QTextEdit> m_linkWnd;
};

} // namespace meloport
