#pragma once

#include "lattice.h"
#include "vector.h"

// What the tick must conserve. Position moves by 0.05 vel and velocity by 0.1 F, so the kinetic
// part is 1/2 |vel|^2 weighed by 0.05/0.1: E = 1/4 sum |vel|^2 + 1/2 sum k (length - rest)^2.
// The assembled lattice starts at 15 000.
double latticeEnergy(const JBNodeTable& nodes);

// Springs pull in equal and opposite pairs, so this stays where the lattice was built.
dddcoord centreOfMass(const JBNodeTable& nodes);
