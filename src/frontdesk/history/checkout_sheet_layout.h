#pragma once

#include <QRect>

// Where everything stands on the check-out sheet, in twips of its 9135 x 4590 client area.
// The window places its controls by this table and the printed page is painted from it, so
// the two cannot drift apart. A zero height or width marks a horizontal or vertical rule.
namespace sheet {

inline constexpr QRect Border{60, 60, 9015, 4470};           // the border of the page, Shape1
inline constexpr QRect ParticularsBox{120, 1200, 8895, 780}; // round the guest's particulars, Shape2

// Line1 … Line5.
inline constexpr QRect Lines[5] = {
    {120, 690, 8895, 0},  // under the title
    {120, 1140, 8895, 0}, // under the print date
    {120, 1590, 8895, 0}, // between the two rows of particulars
    {120, 3870, 8895, 0}, // under the check-out row
    {4620, 1200, 0, 780}, // between the left and right particulars
};

inline constexpr QRect Labels[9] = {
    {2640, 150, 3855, 480},  // Label1, the title
    {6240, 780, 2775, 300},  // Label2, print date
    {240, 1260, 4260, 300},  // Label3, 旅客单位
    {4740, 1260, 4200, 300}, // Label4, 旅客姓名
    {240, 1650, 4260, 300},  // Label5, 入住时间
    {4740, 1650, 2040, 300}, // Label6, 入住天数
    {6900, 1650, 2040, 300}, // Label7, 入住人数
    {240, 3480, 4260, 300},  // Label8, 退房时间
    {4740, 3480, 4200, 300}, // Label9, 金额
};

inline constexpr QRect Grid{120, 2040, 8895, 1335};
inline constexpr int GridRowHeight = 350;
inline constexpr QRect PrintButton{7920, 3990, 1095, 420};

} // namespace sheet
