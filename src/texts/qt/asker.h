#pragma once

#include <QString>

class QWidget;

namespace cronovolta {

// The modal questions and messages of the windows, behind an interface so that tests can
// answer them. Texts may separate their lines with carriage returns.
class Asker {
public:
    virtual ~Asker() = default;
    // Yes/No; No is the default button unless yesIsDefault.
    virtual bool yesNo(QWidget* parent, const QString& title, const QString& text,
                       bool yesIsDefault = false) = 0;
    virtual bool okCancel(QWidget* parent, const QString& title, const QString& text) = 0;
    virtual void message(QWidget* parent, const QString& title, const QString& text) = 0;
};

// The real message boxes.
class MessageBoxAsker final : public Asker {
public:
    bool yesNo(QWidget* parent, const QString& title, const QString& text,
               bool yesIsDefault = false) override;
    bool okCancel(QWidget* parent, const QString& title, const QString& text) override;
    void message(QWidget* parent, const QString& title, const QString& text) override;
};

} // namespace cronovolta
