#include "ui/config_editor/TOptionGridAccessible.h"

#include "ui/config_editor/TOptionGrid.h"

#include <QAccessibleWidget>
#include <QPointer>

namespace {

class TOptionCellAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    TOptionCellAccessible(TOptionGrid* grid, int cell) : m_grid(grid), m_cell(cell) { }

    bool isValid() const override { return m_grid && m_cell < m_grid->cellCount(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_grid ? m_grid->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(m_grid.data()); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name && m_grid ? m_grid->cellName(m_cell) : QString();
    }
    void setText(QAccessible::Text, const QString&) override { }
    QRect rect() const override
    {
        if (!m_grid)
            return {};
        const QRect r = m_grid->cellRect(m_cell);
        return QRect(m_grid->mapToGlobal(r.topLeft()), r.size());
    }
    QAccessible::Role role() const override
    {
        return m_grid && m_grid->option() == TControlOption::Setpoint ? QAccessible::RadioButton
                                                                      : QAccessible::CheckBox;
    }
    QAccessible::State state() const override
    {
        QAccessible::State s;
        if (!m_grid) {
            s.invalid = true;
            return s;
        }
        s.checkable = true;
        s.checked = m_grid->isCellSelected(m_cell);
        s.disabled = !m_grid->isEnabled();
        s.focusable = true;
        s.focused = m_grid->hasFocus() && m_grid->currentCell() == m_cell;
        s.invisible = !m_grid->isVisible();
        return s;
    }
    void* interface_cast(QAccessible::InterfaceType t) override
    {
        return t == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
    }

    QStringList actionNames() const override { return {pressAction(), toggleAction()}; }
    void doAction(const QString& name) override
    {
        if (m_grid && m_grid->isEnabled() && (name == pressAction() || name == toggleAction()))
            m_grid->rc_ui_DrawGridSelectCell(m_cell);
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QPointer<TOptionGrid> m_grid;
    int m_cell;
};

class TOptionGridAccessible : public QAccessibleWidget {
public:
    explicit TOptionGridAccessible(TOptionGrid* grid) : QAccessibleWidget(grid, QAccessible::List) { }
    ~TOptionGridAccessible() override
    {
        for (QAccessible::Id id : m_cellIds)
            if (id)
                QAccessible::deleteAccessibleInterface(id);
    }

    int childCount() const override { return grid()->cellCount(); }
    QAccessibleInterface* child(int index) const override
    {
        if (index < 0 || index >= childCount())
            return nullptr;
        if (m_cellIds.size() < childCount())
            m_cellIds.resize(childCount());
        if (!m_cellIds[index])
            m_cellIds[index] = QAccessible::registerAccessibleInterface(new TOptionCellAccessible(grid(), index));
        return QAccessible::accessibleInterface(m_cellIds[index]);
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        for (int i = 0; i < m_cellIds.size(); ++i)
            if (m_cellIds[i] && QAccessible::accessibleInterface(m_cellIds[i]) == child)
                return i;
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override
    {
        const QPoint local = grid()->mapFromGlobal(QPoint(x, y));
        for (int i = 0; i < childCount(); ++i)
            if (grid()->cellRect(i).contains(local))
                return child(i);
        return nullptr;
    }
    QAccessibleInterface* focusChild() const override
    {
        return grid()->hasFocus() ? child(grid()->currentCell()) : nullptr;
    }

private:
    TOptionGrid* grid() const { return static_cast<TOptionGrid*>(widget()); }
    mutable QList<QAccessible::Id> m_cellIds;
};

QAccessibleInterface* optionGridFactory(const QString& className, QObject* object)
{
    if (object && object->isWidgetType() && className == QLatin1String("TOptionGrid"))
        return new TOptionGridAccessible(static_cast<TOptionGrid*>(object));
    return nullptr;
}

} // namespace

void installOptionGridAccessibility()
{
    static const bool kInstalled = [] {
        QAccessible::installFactory(optionGridFactory);
        return true;
    }();
    Q_UNUSED(kInstalled);
}
