#pragma once

#include "hotel/records.h"

#include <QDialog>
#include <QList>
#include <optional>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTextEdit;

// The hotel's particulars, kept in the one row of the company table.
class CompanyWindow : public QDialog
{
    Q_OBJECT
public:
    explicit CompanyWindow(QWidget *parent = nullptr);

    void Command2_Click();

private:
    void createLayout();
    void Form_Load();
    // Box N (1 to 8) shows and edits column N.
    QString boxText(int n) const;
    void setBoxText(int n, const QString &text);

    QLabel *m_image1;
    QGroupBox *m_frame1;
    QList<QLabel *> m_labels;   // Label1 to Label8
    QList<QLineEdit *> m_lines; // Text1 to Text7
    QTextEdit *m_text8;
    QPushButton *m_command2;
    std::optional<hotel::Company> m_shown; // as loaded, to save over only while they still hold
    // The profile as stored and as the box showed it then; the box keeps neither CR LF nor
    // every character exactly.
    QString m_storedProfile;
    QString m_shownProfile;
};
