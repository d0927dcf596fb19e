#pragma once

#include <QDialog>
#include <QString>
#include <memory>

class StayParticulars;
class FlexGrid;
class QGroupBox;
class QLabel;
class QPushButton;

// What sets check-in apart from its twin, the reservation.
struct StayEntryKind {
    const char16_t *formName;
    const char16_t *caption;
    const char16_t *confirmCaption; // Command1
    const char16_t *instruction;    // Label14, above the room list
    const char16_t *table;          // where the new row goes
    const char16_t *takeRoom;       // marks the room, only while it is still free
    const char16_t *successMessage;
};

// A guest's particulars plus a free room picked from the list: a new stay (Form8) or a new
// reservation (Form10). The room is taken only if it is still free when the operator confirms.
class StayEntryWindow : public QDialog
{
    Q_OBJECT
public:
    StayEntryWindow(const StayEntryKind &kind, QWidget *owner);
    ~StayEntryWindow() override;

    void MSFlexGrid1_Click();
    void Command1_Click();

private:
    void createLayout();
    void Form_Load();
    // Inserts the row and takes the room in one transaction; false when the room was taken meanwhile.
    bool saveAndTakeRoom();

    const StayEntryKind &m_kind;
    QGroupBox *m_frame1;
    std::unique_ptr<StayParticulars> m_boxes;
    QLabel *m_label14;
    FlexGrid *m_msFlexGrid1;
    QPushButton *m_command1;
};

class Form8 : public StayEntryWindow
{
    Q_OBJECT
public:
    explicit Form8(QWidget *owner = nullptr);
};

class Form10 : public StayEntryWindow
{
    Q_OBJECT
public:
    explicit Form10(QWidget *owner = nullptr);
};
