#pragma once

// Makes the check-out history and its printed sheet known by name.
void registerHistoryWindows();
