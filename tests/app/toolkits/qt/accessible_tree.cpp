// Prints what assistive technology reads of the two windows, as Qt's
// accessibility bridge serves it to a screen reader: each object's role,
// name, value, description and states, indented by depth, in the order a
// reader walks them. Run in a folder to show, e.g.
//   cd samples && QT_QPA_PLATFORM=offscreen ../build/bin/ui_accessible_tree
// Not a test: the tests check the names (accessibility_test.cpp).
#include <QAccessible>
#include <QApplication>
#include <cstdio>

#include "ui_test_support.h"

namespace {

QString roleName(QAccessible::Role role)
{
    switch (role) {
    case QAccessible::Window: return QStringLiteral("window");
    case QAccessible::Client: return QStringLiteral("frame");
    case QAccessible::MenuBar: return QStringLiteral("menu bar");
    case QAccessible::MenuItem: return QStringLiteral("menu item");
    case QAccessible::PopupMenu: return QStringLiteral("menu");
    case QAccessible::StatusBar: return QStringLiteral("status bar");
    case QAccessible::PushButton: return QStringLiteral("push button");
    case QAccessible::CheckBox: return QStringLiteral("check box");
    case QAccessible::ComboBox: return QStringLiteral("combo box");
    case QAccessible::List: return QStringLiteral("list");
    case QAccessible::ListItem: return QStringLiteral("list item");
    case QAccessible::ProgressBar: return QStringLiteral("progress bar");
    case QAccessible::StaticText: return QStringLiteral("label");
    case QAccessible::Grouping: return QStringLiteral("panel");
    case QAccessible::EditableText: return QStringLiteral("text");
    case QAccessible::Graphic: return QStringLiteral("image");
    case QAccessible::ScrollBar: return QStringLiteral("scroll bar");
    case QAccessible::Separator: return QStringLiteral("separator");
    default: return QStringLiteral("role %1").arg(static_cast<int>(role));
    }
}

void print(QAccessibleInterface* a, int depth)
{
    if (a == nullptr || !a->isValid())
        return;
    const QAccessible::State s = a->state();
    if (s.invisible)
        return;
    QString line = QString(depth * 2, QLatin1Char(' ')) + QStringLiteral("[%1] \"%2\"").arg(roleName(a->role()),
                                                                                          a->text(QAccessible::Name));
    if (const QString value = a->text(QAccessible::Value); !value.isEmpty())
        line += QStringLiteral(" value=\"%1\"").arg(value.left(40));
    if (const QString d = a->text(QAccessible::Description); !d.isEmpty())
        line += QStringLiteral(" description=\"%1\"").arg(d.left(40));
    QStringList states;
    if (s.focusable)
        states << QStringLiteral("focusable");
    if (s.readOnly)
        states << QStringLiteral("read-only");
    if (s.editable)
        states << QStringLiteral("editable");
    if (!states.isEmpty())
        line += QStringLiteral(" (") + states.join(QStringLiteral(", ")) + QLatin1Char(')');
    std::printf("%s\n", line.toUtf8().constData());
    // A list's items and a scroll area's bars are read on demand, not walked.
    if (a->role() == QAccessible::List || a->role() == QAccessible::EditableText)
        return;
    for (int i = 0; i < a->childCount(); ++i)
        print(a->child(i), depth + 1);
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    rastrex::qt::QtToolkit toolkit;
    rastrex::test::RecordingLibrary library;
    rastrex::test::FolderRecycleBin trash((QDir::tempPath() + QStringLiteral("/rastrex-tree-trash")).toStdString());
    rastrex::SystemFileSystem files;
    rastrex::MainForm form(toolkit, rastrex::AppServices{library, trash, files});
    form.show();
    auto about = toolkit.buildWindow(rastrex::aboutFormLayout(), rastrex::WindowRole::Secondary);
    about->show();
    QApplication::processEvents();
    for (rastrex::Window* w : {&form.window(), about.get()}) {
        print(QAccessible::queryAccessibleInterface(static_cast<rastrex::qt::QtWindow*>(w)->widget()), 0);
        std::printf("\n");
    }
    return 0;
}
