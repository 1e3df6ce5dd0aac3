#include "platform/accesskeys.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QToolBar>

namespace platform {

void SetToolbarAccessKeys(QToolBar *bar, const QMenuBar *menus)
{
    QList<QKeySequence> taken;
    if (menus) {
        for (const QAction *menu : menus->actions()) {
            const QKeySequence key = QKeySequence::mnemonic(menu->text());
            if (!key.isEmpty())
                taken.append(key);
        }
    }
    for (QAction *button : bar->actions()) {
        if (button->isSeparator())
            continue;
        const QKeySequence key = QKeySequence::mnemonic(button->text());
        if (key.isEmpty() || taken.contains(key))
            continue;
        taken.append(key);  // the first button to mark a letter keeps it
        button->setShortcut(key);
    }
}

namespace {

// Widgets that take printable keys as input: text boxes, spin boxes, lists
// (an editable one types, a closed one jumps to the entry) and grids
// (keyboard search, or the cell editor that a letter opens).
bool TakesTyping(const QObject *o)
{
    return qobject_cast<const QLineEdit *>(o) || qobject_cast<const QTextEdit *>(o) ||
           qobject_cast<const QPlainTextEdit *>(o) || qobject_cast<const QAbstractSpinBox *>(o) ||
           qobject_cast<const QComboBox *>(o) || qobject_cast<const QAbstractItemView *>(o);
}

class AltKeyFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *e) override
    {
        if (e->type() != QEvent::KeyPress || !TakesTyping(watched))
            return false;
        const auto *k = static_cast<const QKeyEvent *>(e);
        // Ctrl+Alt is how some keyboards type a third character on a key:
        // that stays typing
        const Qt::KeyboardModifiers mods = k->modifiers();
        if (!(mods & Qt::AltModifier) || (mods & Qt::ControlModifier))
            return false;
        const QString text = k->text();
        return !text.isEmpty() && text.at(0).isPrint();
    }
};

}  // namespace

void KeepAltKeysFromTyping()
{
    static QObject *filter = nullptr;
    if (filter || !qApp)
        return;
    filter = new AltKeyFilter(qApp);
    QObject::connect(filter, &QObject::destroyed, [] { filter = nullptr; });
    qApp->installEventFilter(filter);
}

}  // namespace platform
