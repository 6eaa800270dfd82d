#pragma once
// An up-down button pair beside an edit. It keeps no value of its own: each
// click, and each repeat while a button is held, reports a step (+ up,
// - down) through deltaPos; the owner moves its edit's text by it. Held
// down, the step grows from 1 to 5 after two seconds and to 20 after five.

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

class QToolButton;

class CSpinButton : public QWidget
{
    Q_OBJECT
public:
    explicit CSpinButton(QWidget* owner = nullptr);

    void SetRange32(int lower, int upper);
    int Lower() const { return m_nLower; }
    int Upper() const { return m_nUpper; }

    QToolButton* UpButton() const { return m_pUp; }
    QToolButton* DownButton() const { return m_pDown; }

signals:
    void deltaPos(int delta);

private:
    void OnPressed(int direction);
    void OnReleased();
    void OnRepeat();

    QToolButton* m_pUp = nullptr;
    QToolButton* m_pDown = nullptr;
    QTimer m_repeat;
    QElapsedTimer m_held;
    int m_nDirection = 0;
    int m_nLower = 0;
    int m_nUpper = 100;
};
