#pragma once

#include <QSplashScreen>

/// The splash screen: the edition's splash image with one centred status
/// line near its bottom edge.
class MahjongSplash : public QSplashScreen
{
    Q_OBJECT

public:
    MahjongSplash();
    ~MahjongSplash() override;

    QString currentMessage() const { return message; }

public Q_SLOTS:
    void hide();
    void show();
    /// Stores the status line and repaints at once.
    void setMessage(const QString& msg);

protected:
    void drawContents(QPainter* painter) override;

private:
    QString message;
};
