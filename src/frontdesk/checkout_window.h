#pragma once

#include <QDialog>
#include <QList>
#include <QString>
#include <QStringList>

class Connection;

class FlexGrid;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// Check-out: fetch the stay of an occupied room, compute days, amount and balance against the
// prepayment, then store the completed stay, free the room and drop the stay, all or nothing.
class Form12 : public QDialog
{
    Q_OBJECT
public:
    explicit Form12(QWidget *owner = nullptr);

    void Text1_Change();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();

private:
    void createLayout();
    void Form_Load();
    // False when the stay was gone by the time of confirming; nothing is then written.
    bool storeCheckOut();
    // False when the room has no stay rows left; throws a Conflict DbError when its stay rows
    // or the room row are no longer exactly those fetched and computed.
    bool stillAsFetched(Connection &connection, int room) const;

    QGroupBox *m_frame1;
    QGroupBox *m_frame2;
    QRadioButton *m_option1;
    QLabel *m_label[16] = {};   // Label1..Label15, by number
    QLineEdit *m_text[18] = {}; // Text1..Text17, by number
    FlexGrid *m_msFlexGrid1;
    QPushButton *m_command1;
    QPushButton *m_command2;
    QPushButton *m_command3;
    QList<QStringList> m_fetchedStays;
};
