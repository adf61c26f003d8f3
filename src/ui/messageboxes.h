#pragma once

#include <QMessageBox>
#include <QString>

#include <memory>

#include "common/host.h"

namespace tw {

// The caption of a kind of message box: "Warning", "Error", "Information",
// "Confirm"; the plain box has none.
QString messageCaption(MessageKind kind);

// A message box of a kind (caption and icon; the confirmation box has the
// question icon, the plain box neither title nor icon) with the named buttons.
// Escape answers Cancel or No where the box has them.
std::unique_ptr<QMessageBox> makeMessageBox(QWidget* parent, MessageKind kind, const QString& text,
                                            MessageButtons buttons);

// The answer for the button that closed a box.
MessageAnswer messageAnswer(QMessageBox::StandardButton button, MessageButtons buttons);

} // namespace tw
