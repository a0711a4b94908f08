#include "qt_accessible.h"

#include <QAccessible>
#include <QAccessibleWidget>

#include "qt_bars.h"
#include "qt_lists.h"

namespace rastrex::qt {

namespace {

// Qt's own combo box interface is named by its current text on Linux,
// where a label's relation is meant to name it; the drive list has no
// label, so its name is the layout's and the drive it shows is its value.
class DriveListAccessible final : public QAccessibleWidget {
public:
    explicit DriveListAccessible(DriveList* list) : QAccessibleWidget(list, QAccessible::ComboBox) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return list()->currentText();
        return QAccessibleWidget::text(t);
    }
    QStringList actionNames() const override
    {
        return QAccessibleWidget::actionNames() << showMenuAction();
    }
    void doAction(const QString& action) override
    {
        if (action == showMenuAction())
            list()->showPopup();
        else
            QAccessibleWidget::doAction(action);
    }

private:
    DriveList* list() const { return static_cast<DriveList*>(widget()); }
};

// The status bar in its own role, its name from the layout; its first
// panel, the state of the work, is its description.
class StatusBarAccessible final : public QAccessibleWidget {
public:
    explicit StatusBarAccessible(StatusBar* bar) : QAccessibleWidget(bar, QAccessible::StatusBar) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Description)
            return shown(static_cast<StatusBar*>(widget())->panelText(1));
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface* makeInterface(const QString&, QObject* object)
{
    if (auto* list = dynamic_cast<DriveList*>(object))
        return new DriveListAccessible(list);
    if (auto* bar = dynamic_cast<StatusBar*>(object))
        return new StatusBarAccessible(bar);
    return nullptr;
}

}  // namespace

void installAccessibleInterfaces()
{
    static const bool installed = [] {
        QAccessible::installFactory(makeInterface);
        return true;
    }();
    (void)installed;
}

QString accessibleNameOf(const QWidget* widget)
{
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(const_cast<QWidget*>(widget));
    return a != nullptr ? a->text(QAccessible::Name) : QString();
}

}  // namespace rastrex::qt
