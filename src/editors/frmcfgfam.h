// The pager families editor: the 50 families of `Families` in one grid, one
// row each, edited in place through a text box and four lists placed over
// the selected cell. Every change is stored at once; OK only cleans up
// incomplete records and runs the families check.
#pragma once

#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace platform {
class FlexGrid;
}

class frmCfgFam : public QWidget {
    Q_OBJECT
public:
    explicit frmCfgFam(QWidget *parent = nullptr);

    platform::FlexGrid *fgFamilies;
    QLabel *lblPrefix;
    QLabel *lblSuffix;
    QLabel *lblIncCapBy8;
    QPushButton *cmdOK;
    QLineEdit *txtFam;
    QComboBox *cmbPgrType;
    QComboBox *cmbFunc;
    QComboBox *cmbRate;
    QComboBox *cmbMsg;

    // Fills the grid from `Families` and shows the window.
    void Form_Load();
    // `Families` was rewritten or the capcode step changed while the window
    // stayed open (a file opened, New Database, a read, the advanced
    // settings): the grid is filled afresh as the load step fills it, and
    // the current cell and the scroll position stay as they were.
    void Refill();
    // Keys before the focused control; sets `keyCode` to 0 when it handled it.
    void Form_KeyDown(int &keyCode, Qt::KeyboardModifiers shift);
    // The closing question; `cancel` True keeps the window open.
    void Form_QueryUnload(bool &cancel);

    void fgFamilies_Click();
    void fgFamilies_Scroll();
    void txtFam_Change();
    void cmbPgrType_Click();
    void cmbFunc_Click();
    void cmbRate_Click();
    void cmbMsg_Click();
    void cmdOK_Click();

protected:
    bool eventFilter(QObject *watched, QEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void closeEvent(QCloseEvent *e) override;

private:
    // Fills the grid from the tables as the load step does and opens the
    // editor on the first cell; ends the loading.
    void fill();
    void fillRows();
    void fillRow(int r);
    void hideEditors();
    void refreshLabels(bool shorten);
    void toggleActive();
    void openTextEditor(int col);
    void openList(int col);
    // Sets the current column alone and gives it a text (and colours).
    void cell(int col, const QString &text);
    void showEndID(int row);
    void showEndCap(int row);
    void seedRecord();       // the first typed change of a family not ON
    void seedShortRecord();  // the first pick in a family never filled
    // The common start of the four list handlers; false: do nothing more.
    bool choiceStart(QComboBox *list);
    void choiceEnd();
    // Moves the current cell as the keys do and opens its editor.
    void moveTo(int row, int col, bool twice);
    int familyIndex() const;  // current row - 1, or -1 outside the families
    void markModified();
    // OK's steps: the completeness pass, then the families check after an
    // edit. False when the window is to stay open.
    bool finishEditing();
    bool m_checking = false;
};
