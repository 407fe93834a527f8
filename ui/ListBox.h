#pragma once

#include <QListView>

class QStringListModel;

namespace meloport {

// A list of texts addressed by position from 0, with at most one selected entry. A sorted list
// keeps its entries in the source list's order whatever order they are added in.
class ListBox final : public QListView {
    Q_OBJECT
public:
    enum class Order { AsAdded, Sorted };

    explicit ListBox(Order order, QWidget *parent = nullptr);

    void clear();
    void addItem(const QString &text);
    void removeItem(int index);
    // Replaces every entry in one step; a sorted list sorts them first.
    void setItems(QStringList items);

    int listCount() const;
    QStringList items() const;
    // The selected entry's position, or -1 when none is selected.
    int listIndex() const;
    void setListIndex(int index);

private:
    Order m_order;
    QStringListModel *m_model;
};

} // namespace meloport
