#pragma once

#include <QString>

// The address of the home page that ships with the program (a local file).
QString homePageUrl();
