#pragma once
// Zones: the park's zones of buildings, their neighbours, clashes and
// combinations. The park grid owns one and tells it of every building that
// joins the park (placed, or every building when the park starts) and of
// every building that leaves it (picked up, removed, the park left). A
// building leaving the tree with the park is told twice (by the park, then
// as it leaves its tiles): a building not in the zones changes nothing.
// Main thread only.

#include <vector>

class KivraBuilding;
class KivraGrid;

class Zones {
public:
    explicit Zones(KivraGrid& grid) : grid_(grid) {}
    virtual ~Zones() = default;
    Zones(const Zones&) = delete;
    Zones& operator=(const Zones&) = delete;

    // With popups, the changes show over the buildings.
    virtual void OnBuildingPlaced(KivraBuilding& building, bool popups) { (void)building, (void)popups; }
    virtual void OnBuildingRemoved(KivraBuilding& building, bool popups) { (void)building, (void)popups; }
    // Every building of every zone, each once.
    virtual std::vector<KivraBuilding*> Members() const { return {}; }

protected:
    KivraGrid& grid_;
};
