#pragma once

#include "tests/support/WindowImage.h"

// A disc of the game's picture, in pixels from the window's top-left corner; a radius
// of 0 stands for the whole picture.
struct Spot {
    int column, row;
    double radius;
};

// What a disc of a picture of one of the game's windows shows. The marble's diffuse colour is
// (0.8, 0, 0.6) and the light adds the same to all channels otherwise: where the marble
// faces the light red stands up to 204 x light above green, and no other colour of the
// scene has red far above green.
class GameLook {
public:
    // Spots worked out from the camera (gluLookAt with up +y towards (0, 5, 1),
    // gluPerspective(60, 1273 / 970, 1, 200)), with the radius of the marble or of the
    // disc looked at: the marble at its start (0.5, 5.5, 1) seen from where a run starts
    // (8, 0, -3), the marble and the steep middle of the first ramp (3.875, 3.625, 1)
    // seen from where the intro leaves the camera (8, 7.98, 4.98). While the marble
    // rolls the camera follows it: it keeps its spot.
    static const Spot marbleBelowTheDeck, marble, firstRamp;

    explicit GameLook(const WindowImage& image, Spot spot = {0, 0, 0});

    // The purple marble in full light: 0.93 of the light or more (the intro ends at
    // 0.9975).
    bool marbleInFullLight() const { return mostRedOverGreen >= 190; }
    // The same, looked for at the marble's spot of a whole picture of the game's window.
    static bool marbleLit(const WindowImage& image)
    {
        return GameLook(image, marble).marbleInFullLight();
    }
    // How far the darkest and lightest pixels lie apart; -1 where something is black.
    int contrast() const { return darkest > 0 ? lightest - darkest : -1; }

    // Whether a picture of a message box shows its text and its button: mostly light
    // ground, dark ink in its upper half (right of the first quarter, where an icon may
    // stand) at least minWidth wide, and ink in its lower half.
    static bool showsLineOfText(const WindowImage& box, int minWidth);

    // Follows the pictures of a run for the marble leaving the view: it has left it
    // in full light when no purple is seen while the light (the mean level) has kept
    // 0.85 of what it was when the marble was last seen in full light; it is seen
    // steered away when the light then fades without it. An obstacle passing in
    // front hides it only for a moment: it is seen again in full light.
    class MarbleWatch {
    public:
        void see(const WindowImage& image);
        bool leftTheView() const { return outOfView; }
        bool fadedWithoutIt() const { return faded; }

    private:
        double levelWithMarble = 0;
        bool outOfView = false, faded = false;
    };

    int brightest = 0, black = 0, litPurple = 0, mostRedOverGreen = 0;
    int darkest = 765, lightest = 0; // sums of the three channels
    double mean = 0;                 // of every pixel's brightest channel: follows the light
};
