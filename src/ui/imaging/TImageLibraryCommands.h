#pragma once
// The four commands above the project tree, on the selected image: delete,
// move up, move down and rename. An image of BACKGROUNDS or LOGOS takes its
// thumbnail along when it is deleted or moved.

#include <QObject>

class TImagesPage;
class TProjectDocument;

class TImageLibraryCommands : public QObject {
    Q_OBJECT
public:
    TImageLibraryCommands(TImagesPage& page, TProjectDocument& document, QObject* parent = nullptr);

    void Delete_Selected_Image();
    void Move_Image_Up() { moveSelectedImage(-1); }
    void Move_Image_Down() { moveSelectedImage(+1); }
    void Rename_Selected_Image();

    static QString renameTitle() { return QStringLiteral("Rename image..."); }
    static QString renamePrompt() { return QStringLiteral("Name (stored in capitals)"); }
    // The box when another image of the group already has the name.
    static QString duplicateNameText(const QString& group, const QString& name);

private:
    void moveSelectedImage(int step);

    TImagesPage& m_page;
    TProjectDocument& m_document;
};
