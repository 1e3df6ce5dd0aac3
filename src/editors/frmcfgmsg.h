// The canned messages editor: the 15 messages of the pager database in a
// one-column grid, edited in place through a text box laid over the current
// cell. Every keystroke is stored at once; there is no cancel.
#pragma once

#include <QWidget>

class QLineEdit;
class QPushButton;

namespace platform {
class FlexGrid;
}

class frmCfgMsg : public QWidget {
    Q_OBJECT
public:
    explicit frmCfgMsg(QWidget *parent = nullptr);

    platform::FlexGrid *fgMessages;
    QLineEdit *txtMsg;  // the in-cell editor
    QPushButton *cmdOK;

    void Form_Load();
    // The messages were rewritten while the window stayed open (a file
    // opened, New Database, a read): the grid is filled afresh as the load
    // step fills it and the editor opens on message 1 again.
    void Refill();
    void fgMessages_Click();
    void txtMsg_Change();
    // The window sees every key first. Returns true when it consumed the key.
    bool Form_KeyDown(int keyCode);
    void cmdOK_Click();

protected:
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    // Fills the grid from the tables as the load step does and opens the
    // editor on the first cell; ends the loading.
    void fill();
    void placeEditor();
};
