// A one-line label that shares the room of its row with others: it asks for its whole text, takes less when the
// row is narrow, and then ends the text in an ellipsis instead of overlapping or cutting mid-letter.
#pragma once

#include <QLabel>

class CElidedLabel : public QLabel
{
public:
    explicit CElidedLabel(QWidget* parent = nullptr);

    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};
