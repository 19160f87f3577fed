#pragma once

#include <QMdiArea>
#include <QPixmap>

namespace cronovolta {

// The main window's child-window area. Behind the child windows it shows
// `FonsDePantalla`: the organiser's logo (or the program's name without one) while no
// programme is open.
class Cover : public QMdiArea {
    Q_OBJECT
public:
    explicit Cover(QWidget* parent = nullptr);

    void setLogo(const QPixmap& logo);
    bool hasLogo() const { return !m_logo.isNull(); }
    void setTitle(const QString& title, const QString& subtitle);
    void setPictureShown(bool shown);
    bool pictureShown() const { return m_pictureShown; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap m_logo;
    QString m_title;
    QString m_subtitle;
    bool m_pictureShown = true;
};

} // namespace cronovolta
