// The pager groups editor: the ten `Groups` records in one grid turned on
// its side, one column per group and one row per field. Every edit goes
// straight into the table; OK judges the groups and runs the groups check.
#pragma once

#include "editors/cfggroup_logic.h"

#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace platform {
class FlexGrid;
}

class frmCfgGroup : public QWidget {
    Q_OBJECT
public:
    explicit frmCfgGroup(QWidget *parent = nullptr);

    platform::FlexGrid *fgGroups;
    QLineEdit *txtGrp;
    QComboBox *cmbMsg;
    QLabel *lblMsg;
    QPushButton *cmdOK;

    void Form_Load();
    // `Groups` was rewritten while the window stayed open (a file opened,
    // New Database, a read): the grid is filled afresh as the load step
    // fills it, with its corrections, and the text editor opens on group
    // 1's Group ID again.
    void Refill();
    // Returns true when the key was handled (and is consumed).
    bool Form_KeyDown(int key, Qt::KeyboardModifiers shift);
    // The closing question; returns true when the closing is cancelled.
    bool Form_QueryUnload();
    void Form_Unload();

    void fgGroups_Click();
    void txtGrp_Change();
    void cmbMsg_Click();
    void cmdOK_Click();

    // True while OK (or a closing) runs the groups check.
    bool CheckRunning() const { return m_checkRunning; }

protected:
    void closeEvent(QCloseEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    // Fills the grid from the tables as the load step does and opens the
    // editor on the first cell; ends the loading.
    void fill();
    // The grid column of group column `c` as a model, and back.
    groupsgrid::Column readColumn(int c) const;
    void writeColumn(int c, const groupsgrid::Column &col);
    // Marks the configuration modified from inside a click, where bLoading
    // is held True.
    void recordEdit();
    void openTextEditor();
    void openMessageChooser(int c);
    void toggleTimer(int c);
    // OK's steps: the completeness judgement, then, after an edit, the
    // groups check and the COMP1 rule. False when the window is to stay open.
    bool finishEditing();
    bool m_checkRunning = false;
};
