#pragma once

class JBNode;

// One end of a spring as its owning node sees it; every spring is two such records.
struct JBCoupling {
    double strength;
    double length;  // rest length
    JBNode* partner;
    JBCoupling* next;
};
