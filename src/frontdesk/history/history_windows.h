#pragma once

// Makes the check-out history known by name; it opens its printed sheet itself.
void registerHistoryWindows();
