#pragma once

#include "streamlines/IntegrationScheme.h"
#include "streamlines/StreamlineOptions.h"

namespace tvl {

// What an arrow's length codes: nothing (all arrows alike), the speed, or one
// additional value.
struct ArrowCoding {
    enum class Kind { None, Speed, AdditionalValue };

    // Only the first six additional values code the length; an arrow coding a
    // later one has the length of an uncoded arrow.
    static constexpr int kCodedValues = 6;

    Kind kind = Kind::None;
    int value = 0; // the additional value's number, for AdditionalValue

    static ArrowCoding none() { return {}; }
    static ArrowCoding speed() { return {Kind::Speed, 0}; }
    static ArrowCoding additionalValue(int k) { return {Kind::AdditionalValue, k}; }
    // The "Arrow Coding" list: position 0 "No data encoding", 1 "Speed", and
    // p >= 2 the entry "Special Dataset p − 2". Negative positions code nothing.
    static ArrowCoding fromListPosition(int position);
    int listPosition() const;

    friend bool operator==(const ArrowCoding&, const ArrowCoding&) = default;
};

// The quantity the background colours: the speed, the flow direction once
// around the colour ramp, or one additional value.
enum class BackgroundQuantity { Speed, Direction, AdditionalValue };

// Where streamlines come from: clicks in the canvas, or the evenly spaced
// placement at every full redraw.
enum class Placement { Manual, EvenDistances };

// The layers a full redraw draws, in the order background, streamlines, arrows.
struct Layers {
    bool background = false;
    bool streamlines = false;
    bool arrows = false;

    bool any() const { return background || streamlines || arrows; }
    friend bool operator==(const Layers&, const Layers&) = default;
};

// Extras of the streamlines beyond the plain white lines, for figures:
// direction marks along each line and a colour per vertex. With both off the
// lines are drawn exactly as always.
struct StreamlineStyle {
    static constexpr int kDefaultMarkSpacing = 80;

    // Viewport pixels of arc length between neighbouring direction marks
    // along a streamline; 0 or less draws none.
    int markSpacing = 0;
    // Colours each vertex through the transfer function by the line coder
    // (in the window the background's current quantity), over a dark outline.
    bool coloured = false;

    bool isPlain() const { return markSpacing <= 0 && !coloured; }
    friend bool operator==(const StreamlineStyle&, const StreamlineStyle&) = default;
};

// Everything the settings pages hold for drawing, with the window's start
// values. The slider positions are kept as the pages hand them over; the
// drawing turns them into distances.
struct LayerSettings {
    Layers layers;

    int arrowStep = 20; // viewport pixels between arrows, the "Grid Resolution" slider (5 .. 80)
    ArrowCoding arrowCoding;

    float dsepPosition = 100.0f; // "dsep" slider, 10 .. 1000: tenths of a pixel
    float dtestPosition = 50.0f; // "dtest" slider, 1 .. 99: percent of dsep
    IntegrationScheme scheme = IntegrationScheme::Euler;
    Placement placement = Placement::EvenDistances;
    // The "Extras" menu's streamline options, for manual and evenly spaced lines.
    StreamlineOptions streamlineOptions;
    StreamlineStyle lineStyle; // the "Extras" menu's look of the lines; plain by default

    BackgroundQuantity backgroundQuantity = BackgroundQuantity::Speed;
    int backgroundValue = 0; // the additional value's number, for AdditionalValue
};

} // namespace tvl
