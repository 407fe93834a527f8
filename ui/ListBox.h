#pragma once

#include <QListView>

class QStringListModel;

namespace meloport {

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

private:
    QStringListModel *m_model;
};

} // namespace meloport
