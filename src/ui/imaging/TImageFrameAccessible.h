#pragma once
// What a screen reader or an automation client learns of an image frame: a
// picture named by its image, whose value says whether the image takes part
// in the upload. Frames do nothing when clicked, so there is no action.

#include <QAccessibleWidget>

class TImageFrame;

class TImageFrameAccessible : public QAccessibleWidget {
public:
    explicit TImageFrameAccessible(TImageFrame* frame);

    QString text(QAccessible::Text t) const override;
    QAccessible::State state() const override;
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;

    // The text a frame reports as its value: "not included" or "included".
    static QString inclusionText(bool included);

    // Makes the accessibility layer build this interface for every frame.
    static void install();

private:
    TImageFrame* frame() const;
};
