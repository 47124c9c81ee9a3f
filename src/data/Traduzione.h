#pragma once
// Interface translation through the optional lingua.db of the program folder.

#include <QString>

// The caption in the given language: the text without its leading "&" and
// without apostrophes, replaced by the language's column of the first row
// whose ITALIANO equals it. Raises when the language is no column of lingua.
QString Traduci(const QString& testo, const QString& lingua);
