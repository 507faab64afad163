#pragma once
// The image view of the Images page: the framed images of one handle,
// flowing left to right and wrapping at the view's width, scrolled
// vertically. Image files are dropped here; while a drag is over it a
// highlight shows where they will go.

#include <QList>
#include <QScrollArea>
#include <QStringList>

class QLabel;
class TFlowLayout;
class TImageFrame;

class TImageView : public QScrollArea {
    Q_OBJECT
public:
    explicit TImageView(QWidget* parent = nullptr);

    // One frame per image shown, in the order of the handle's cells.
    const QList<TImageFrame*>& CellView_List() const { return m_frames; }
    QWidget* flowPanel() const { return m_flowPanel; }
    QLabel* dragLabel() const { return m_dragLabel; }
    QWidget* DragDropHighlight_Shape() const { return m_highlight; }
    QWidget* notIncludedVeil() const { return m_veil; }

    // Frees every frame and moves the panel back to the top left.
    void clearFrames();
    void appendFrame(TImageFrame* frame);
    void removeFrame(int index);
    void moveFrame(int from, int to);

    // "Drag Image Files Here" in place of the frames (which collapse).
    void showDragLabel(bool show);
    // The "Not Included" veil over the whole view, for an excluded handle.
    void showNotIncluded(bool show);
    // Width: the view's client width; height: the bottom of the last frame.
    void layOutFrames();

    // Drops are taken only while a handle is shown and no import runs.
    void setDropsEnabled(bool enabled);
    bool dropsEnabled() const { return m_dropsEnabled; }

signals:
    // Local files dropped onto the client area, in the order given.
    void filesDropped(const QStringList& paths);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    bool insideClientArea(const QPointF& pos) const;
    void placeOverlays();

    QList<TImageFrame*> m_frames;
    QWidget* m_flowPanel;
    TFlowLayout* m_flow;
    QLabel* m_dragLabel;
    QWidget* m_highlight;
    QWidget* m_veil;
    bool m_dropsEnabled = false;
};
