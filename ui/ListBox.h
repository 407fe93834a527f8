#pragma once

#include <QListView>

#include <functional>
#include <optional>

namespace meloport {

class ListBoxModel;

// A list of texts addressed by position from 0, with at most one selected entry. It shows its
// entries in the order it is given them: the source list's order is the listing's.
class ListBox final : public QListView {
    Q_OBJECT
public:
    explicit ListBox(QWidget *parent = nullptr);

    void clear();
    void addItem(const QString &text);
    void removeItem(int index);
    // Replaces every entry in one step.
    void setItems(const QStringList &items);

    int listCount() const;
    QStringList items() const;
    // The selected entry's position, or -1 when none is selected.
    int listIndex() const;
    void setListIndex(int index);

    // Lets the user put the entries right where they stand: F2 or a double click edits one (Enter
    // keeps the text, Esc the old one), Alt+Up and Alt+Down or a drag move the selected one, and
    // Delete removes it. `edited` makes the entry of what was typed, or refuses it, and the old
    // text stays.
    using EditRule = std::function<std::optional<QString>(QStringView typed)>;
    void setArrangeable(EditRule edited);
    // Puts the entry at `from` at `to`, where it stays selected.
    void moveItem(int from, int to);

    // A warning sign on each entry whose mark is not empty, and the mark as its tool tip and as
    // its description for screen readers. Marks go by position.
    void setMarks(QStringList marks);

signals:
    // An entry was added, removed, replaced, edited or moved.
    void itemsChanged();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    ListBoxModel *m_model;
};

} // namespace meloport
