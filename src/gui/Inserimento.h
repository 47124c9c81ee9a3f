#pragma once
// Input helpers of the boxes: numeric boxes, boxes as long as a field, and
// the completion of a typed date.

#include <QString>

class QLineEdit;

// Makes a line edit numeric: typed characters pass FiltraTastoNumerico and
// pasted text that is not made of digits and commas is refused.
void ImpostaFiltroNumerico(QLineEdit* edit);
// Limits a line edit to n characters as a field's size counts them (code
// points): what goes beyond is cut at a whole character, as the store cuts it.
void LimitaCaratteri(QLineEdit* edit, int n);
// Completes a typed date with today's month and year where parts are missing
// and checks it: on success the text becomes dd/MM/yyyy and the result is
// true; otherwise "Data non corretta!" is shown, the text stays as typed and
// the result is false. Never raises.
bool CompletaData(QString& testo);
