#pragma once

#include <QLabel>
#include <QString>

class QBoxLayout;
class QLineEdit;
class QRadioButton;
class QWidget;

/// A radio button whose text wraps over several lines: the button itself carries no text and a
/// word-wrapping label beside it (object name of the button + "Label") clicks it when clicked.
QRadioButton* AddWrappedRadio(QBoxLayout* layout, QWidget* parent, const QString& objectName,
                              const QString& text);

/// A word-wrapping static text with an object name.
QLabel* MakeText(QWidget* parent, const QString& objectName, const QString& text);

/// Masks a password edit with "*" for every character.
void SetPasswordChar(QLineEdit* edit);

/// The margins of page content: exterior pages keep clear of the watermark, interior pages are
/// indented under the header band.
void SetInteriorMargins(QBoxLayout* layout);
void SetExteriorMargins(QBoxLayout* layout);
