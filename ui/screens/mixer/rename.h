// Renaming a channel in place: the edit box opens over the label showing the name, and the
// committed text becomes the channel's name on the console.
#pragma once

#include <QString>

class QWidget;

namespace vorante {

class navigator;

// Opens the text entry over `label` (a QLabel or a button) with its current text. A touch
// outside commits; an empty text restores the channel's default name. The name is stored
// and sent, the label shows it and the page on screen hears of it (on_name). Nothing
// happens for a channel that does not exist.
void rename_channel(navigator& nav, QWidget* label, int kind, int index);

// What the label shows of a name: the default name when it is empty.
QString channel_label_text(int kind, int index, const QString& name);

}  // namespace vorante
