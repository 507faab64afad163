#pragma once
// Lays widgets out left to right in their own sizes and starts a new row
// where the next one would pass the right edge; its height follows its width.

#include <QLayout>
#include <QList>

class TFlowLayout : public QLayout {
public:
    explicit TFlowLayout(QWidget* parent = nullptr);
    ~TFlowLayout() override;

    void addItem(QLayoutItem* item) override;
    int count() const override { return int(m_items.size()); }
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    // Moves the item at from to position to, the others keeping their order.
    void moveItem(int from, int to);

    Qt::Orientations expandingDirections() const override { return {}; }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSize() const override;
    void setGeometry(const QRect& rect) override;

private:
    // Places the items in rect (or only measures, when apply is false) and
    // returns the height used: the bottom of the last item, 0 for none.
    int arrange(const QRect& rect, bool apply) const;

    QList<QLayoutItem*> m_items;
};
