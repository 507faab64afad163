#include "ui/common/TOwnerDrawnAccessible.h"

#include "ui/common/TPictureComboBox.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QLineEdit>
#include <QPointer>

namespace {

class TPictureItemAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    TPictureItemAccessible(TPictureComboBox* combo, int row) : m_combo(combo), m_row(row) { }

    bool isValid() const override { return m_combo && m_row < m_combo->count(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_combo ? m_combo->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(m_combo.data()); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name && m_combo ? m_combo->itemText(m_row) : QString();
    }
    void setText(QAccessible::Text, const QString&) override { }
    QRect rect() const override
    {
        if (!m_combo || !m_combo->view()->isVisible())
            return {};
        const QRect r = m_combo->view()->visualRect(m_combo->model()->index(m_row, 0));
        return QRect(m_combo->view()->viewport()->mapToGlobal(r.topLeft()), r.size());
    }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override
    {
        QAccessible::State s;
        if (!m_combo) {
            s.invalid = true;
            return s;
        }
        s.selectable = true;
        s.selected = m_combo->currentIndex() == m_row;
        s.disabled = !m_combo->isEnabled();
        s.invisible = !m_combo->view()->isVisible();
        return s;
    }
    void* interface_cast(QAccessible::InterfaceType t) override
    {
        return t == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& name) override
    {
        if (m_combo && name == pressAction())
            m_combo->pickItem(m_row);
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QPointer<TPictureComboBox> m_combo;
    int m_row;
};

class TPictureComboBoxAccessible : public QAccessibleWidget {
public:
    explicit TPictureComboBoxAccessible(TPictureComboBox* combo) : QAccessibleWidget(combo, QAccessible::ComboBox)
    {
        addControllingSignal(QStringLiteral("activated(int)"));
    }
    ~TPictureComboBoxAccessible() override
    {
        for (QAccessible::Id id : m_itemIds)
            if (id)
                QAccessible::deleteAccessibleInterface(id);
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return combo()->currentText();
        return QAccessibleWidget::text(t);
    }
    int childCount() const override { return combo()->count(); }
    QAccessibleInterface* child(int index) const override
    {
        if (index < 0 || index >= childCount())
            return nullptr;
        if (m_itemIds.size() < childCount())
            m_itemIds.resize(childCount());
        if (!m_itemIds[index])
            m_itemIds[index] = QAccessible::registerAccessibleInterface(new TPictureItemAccessible(combo(), index));
        return QAccessible::accessibleInterface(m_itemIds[index]);
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        for (int i = 0; i < m_itemIds.size(); ++i)
            if (m_itemIds[i] && QAccessible::accessibleInterface(m_itemIds[i]) == child)
                return i;
        return -1;
    }
    QStringList actionNames() const override { return {showMenuAction()}; }
    void doAction(const QString& name) override
    {
        if (name == showMenuAction() && combo()->isEnabled())
            combo()->showPopup();
    }

private:
    TPictureComboBox* combo() const { return static_cast<TPictureComboBox*>(widget()); }
    mutable QList<QAccessible::Id> m_itemIds;
};

// Qt's own interface for a drop-down list names it by its current item on
// Linux, so a screen reader heard "21" or "Off" where it should hear the
// setting. Here the name is the list's accessible name (or its label's
// text) and the current item is its value.
class TNamedComboBoxAccessible : public QAccessibleWidget {
public:
    explicit TNamedComboBoxAccessible(QComboBox* combo) : QAccessibleWidget(combo, QAccessible::ComboBox)
    {
        addControllingSignal(QStringLiteral("activated(int)"));
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return combo()->isEditable() && combo()->lineEdit() ? combo()->lineEdit()->text() : combo()->currentText();
        return QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.expandable = true;
        s.expanded = combo()->view()->isVisible();
        s.collapsed = !s.expanded;
        s.editable = combo()->isEditable();
        return s;
    }
    QStringList actionNames() const override { return {showMenuAction(), pressAction()}; }
    void doAction(const QString& name) override
    {
        if ((name == showMenuAction() || name == pressAction()) && combo()->isEnabled())
            combo()->showPopup();
    }

private:
    QComboBox* combo() const { return static_cast<QComboBox*>(widget()); }
};

QAccessibleInterface* ownerDrawnFactory(const QString& className, QObject* object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    if (className == QLatin1String("TPictureComboBox"))
        return new TPictureComboBoxAccessible(static_cast<TPictureComboBox*>(object));
    if (className == QLatin1String("QComboBox"))
        return new TNamedComboBoxAccessible(static_cast<QComboBox*>(object));
    return nullptr;
}

} // namespace

void installOwnerDrawnAccessibility()
{
    static const bool kInstalled = [] {
        QAccessible::installFactory(ownerDrawnFactory);
        return true;
    }();
    Q_UNUSED(kInstalled);
}
