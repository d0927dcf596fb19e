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

private Q_SLOTS:
    void save();

private:
    void createLayout();
    void loadCompany();
    // Box i (0 to 7) shows and edits the i-th particular, in the order of the boxes.
    QString fieldText(int i) const;
    void setFieldText(int i, const QString &text);

    QLabel *m_picture;
    QGroupBox *m_frame;
    QList<QLabel *> m_labels;       // Label1 to Label8
    QList<QLineEdit *> m_lineEdits; // Text1 to Text7; the profile has a box of its own
    QTextEdit *m_profileEdit;
    QPushButton *m_saveButton;
    std::optional<hotel::Company> m_shown; // as loaded, to save over only while they still hold
    // The profile as stored and as the box showed it then; the box keeps neither CR LF nor
    // every character exactly.
    QString m_storedProfile;
    QString m_shownProfile;
};
