#pragma once
// A tree card with every field filled, accents and the euro sign included; tests change the
// fields they are about.
#include "cards/card_record.h"

namespace tavo::test {

inline TreeCard sampleCard() {
    TreeCard c;
    c.creationDate = "03/02/2026";
    c.treeName = "Mon érable";
    c.botanicalName = "Acer palmatum";
    c.cultivar = "Deshojo";
    c.commonName = "Érable du Japon";
    c.englishName = "Japanese maple";
    c.provenance = "Pépinière";
    c.acquisitionDate = "12/04/2019";
    c.age = "8";
    c.ageEstimated = "O";
    c.state = "Prébonsaï";
    c.price = "45 €";
    c.notes = "Rempotage prévu.";
    c.reserved = "hidden";
    return c;
}

}  // namespace tavo::test
