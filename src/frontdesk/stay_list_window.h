#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>
#include <memory>

class StayParticulars;
class FlexGrid;
class QGroupBox;
class QPushButton;

// What sets the current-guests list apart from its twin, the reservations list.
struct StayListKind {
    const char16_t *formName;
    const char16_t *caption;
    const char16_t *listCaption; // Frame2
    const char16_t *table;       // the table listed
    const char16_t *row;         // the select of one row by its key
    const char16_t *saveMessage;
    bool emptyRoomRowWhenMissing; // a stay whose room is gone still shows one (empty) room row
    bool canCancel;               // Command2 deletes the reservation and frees its room
};

// Lists stays in progress (Form9) or reservations (Form11) and corrects the one shown in the
// boxes; Form11 also cancels it. Both always act on the row whose particulars are shown.
class StayListWindow : public QDialog
{
    Q_OBJECT
public:
    StayListWindow(const StayListKind &kind, QWidget *owner);
    ~StayListWindow() override;

    void MSFlexGrid2_Click();
    void Command1_Click();
    void Command2_Click();

private:
    void createLayout();
    void Form_Load();
    void showRoom();
    void cancelReservation();

    const StayListKind &m_kind;
    // Key of the row whose particulars the boxes show; empty until one is shown.
    QString m_shownKey;
    QStringList m_shownCells; // the chosen row as listed
    // The chosen row as listed; empty after one message when no record is chosen.
    QStringList chosen();
    QGroupBox *m_frame1;
    QGroupBox *m_frame2;
    std::unique_ptr<StayParticulars> m_boxes;
    FlexGrid *m_msFlexGrid1;
    FlexGrid *m_msFlexGrid2;
    QPushButton *m_command1;
    QPushButton *m_command2 = nullptr;
};

class Form9 : public StayListWindow
{
    Q_OBJECT
public:
    explicit Form9(QWidget *owner = nullptr);
};

class Form11 : public StayListWindow
{
    Q_OBJECT
public:
    explicit Form11(QWidget *owner = nullptr);
};
