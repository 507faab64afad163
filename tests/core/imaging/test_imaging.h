#pragma once
#include <QObject>

class TestQuantisation : public QObject {
    Q_OBJECT
private slots:
    void quantise_data();
    void quantise();
    void unknownFormatsAreRefused_data();
    void unknownFormatsAreRefused();
    void defaultDithering_data();
    void defaultDithering();
    void kernelAgreesWithQuantisePixel_data();
    void kernelAgreesWithQuantisePixel();
};

class TestAgreement : public QObject {
    Q_OBJECT
private slots:
    void quantisationAgrees();
    void conversionAgreesOnRandomCases();
    void conversionAgreesOnHandleSizes_data();
    void conversionAgreesOnHandleSizes();
    void conversionAgreesOnAwkwardPictures_data();
    void conversionAgreesOnAwkwardPictures();
};

class TestNoise : public QObject {
    Q_OBJECT
private slots:
    void generatorSequence();
    void reusedFactorsMatchFreshDraws();
};

class TestConversion : public QObject {
    Q_OBJECT
private slots:
    void matchesLiteralReference_data();
    void matchesLiteralReference();
    void errorIsDiffused_data();
    void errorIsDiffused();
    void noiseOnlyOnOpaquePixels_data();
    void noiseOnlyOnOpaquePixels();
    void greyFormatsGiveEqualChannels();
    void sameInputSameResult();
    void otherInputFormatsAreConvertedFirst();
    void badInputIsRefused();
};

class TestPacking : public QObject {
    Q_OBJECT
private slots:
    void pixelBytes_data();
    void pixelBytes();
    void rowCompletion_data();
    void rowCompletion();
    void packedSizeMatchesRowBytes();
    void compressedStreamInflatesToPackedBytes();
    void goldenFixture_data();
    void goldenFixture();
};

class TestImageDataBlock : public QObject {
    Q_OBJECT
private slots:
    void twoLogosAndTwoThumbnails();
    void excludedItemsLeaveNoTrace();
    void emptyBlock();
    void jpegHandles();
    void storedSizeEqualsUploadedSize();
    void cellsReadFromFileAreDecoded();
    void badProjectsAreRefusedWhole_data();
    void badProjectsAreRefusedWhole();
    void storageSizeNamesUnknownFormat();
    void blockLargerThanTheStoreIsRefused();
    void parallelBlockEqualsOneEncoderBlock();
    void firstFaultInBlockOrderIsReported();
};

class TestDecoding : public QObject {
    Q_OBJECT
private slots:
    void decodesBySignature_data();
    void decodesBySignature();
    void undecodableDataIsAnError_data();
    void undecodableDataIsAnError();
    void streamIsReadFromItsStart();
    void fileSize();
    void restoreCellBitmaps();
    void pictureSizeIsCheckedBeforeDecoding_data();
    void pictureSizeIsCheckedBeforeDecoding();
    void storedPicturesAreCheckedAgainstTheirGroup();
    void pictureFilesAreReadOnce();
};

class TestGreyLevel : public QObject {
    Q_OBJECT
private slots:
    void whiteAndGreyRampKeepTheirLevel();
    void agreesWithExtendedSum_data();
    void agreesWithExtendedSum();
    void doubleSumAloneWouldBeWrong();
};
