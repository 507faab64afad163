#pragma once
// Draws the cells of the events editor's grid: the time in column 0, then
// for each setting the event sets a framed picture of its value (the
// setpoint as a faint thermometer with the degrees over it). A setting the
// event leaves alone stays an empty cell. A code without a picture shows a
// question mark in its frame. The cells' item texts carry the same content
// for screen readers.

#include <QStyledItemDelegate>

class TEventGridDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    // Item data of a setting cell: whether the event sets it, and its code.
    static constexpr int kShownRole = Qt::UserRole;
    static constexpr int kCodeRole = Qt::UserRole + 1;

    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};
