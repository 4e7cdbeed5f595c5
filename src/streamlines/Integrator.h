#pragma once

#include "flow/FlowData.h"
#include "flow/Vector3.h"
#include "streamlines/PointList.h"
#include "streamlines/SelfOverlapTest.h"
#include "streamlines/StreamlineOptions.h"

#include <cmath>
#include <limits>

namespace tvl {

// Step, length and step bounds of one kind of trace. The step taken is
// step × local speed, in grid units; the sign of step is the sense of travel.
struct TraceParameters {
    float step = 1.0f;
    float maxLength = 10.0f;
    int maxSteps = 100;
    // Options (StreamlineOptions), off by default. With normalizedStep the
    // speed is divided by the data set's maximum speed before h = S × step.
    // selfDistance > 0 ends a line where it comes closer than that (grid units)
    // to its own earlier points (SelfOverlapTest); 0 tests nothing.
    bool normalizedStep = false;
    float selfDistance = 0.0f;

    // A click traces as far as the flow goes: only the domain, a zero speed
    // or the step budget end it.
    static constexpr float kManualStep = 0.1f;
    static constexpr float kManualMaxLength = std::numeric_limits<float>::max();
    static constexpr int kManualMaxSteps = 10000;
    // The evenly spaced placement measures in pixels: a step is 2 pixels per
    // unit of speed and a half-line at most 10000 pixels long.
    static constexpr float kEvenMaxLengthPixels = 10000.0f;
    static constexpr int kEvenMaxSteps = 1000;

    // A clicked line with "no self overlap" keeps the distance from itself
    // that the evenly spaced lines keep from each other at the start settings.
    static constexpr float kManualSelfDistancePixels = 5.0f;

    static TraceParameters manualSeeding() { return {kManualStep, kManualMaxLength, kManualMaxSteps}; }
    // g: grid units per viewport pixel.
    static TraceParameters evenlySpaced(float g) { return {g + g, g * kEvenMaxLengthPixels, kEvenMaxSteps}; }
    // These parameters with the options switched as chosen; distance (grid
    // units) is the self distance the self-overlap test keeps when it is on.
    // The step values stay: with the normalised step they apply to the
    // fastest point of the data set, and slower flow takes shorter steps.
    TraceParameters withOptions(const StreamlineOptions& options, float distance) const
    {
        TraceParameters chosen = *this;
        chosen.normalizedStep = options.normalizedStep;
        chosen.selfDistance = options.noSelfOverlap ? distance : 0.0f;
        return chosen;
    }
};

// Traces one streamline through a flow data set: from a seed it follows the
// flow forwards and against it, keeping both half-lines as point lists. All
// points are regular-grid index coordinates; stored points have z = 0 and are
// always finite. The scheme classes differ only in the step rule.
class Integrator {
public:
    explicit Integrator(const FlowData* flowData)
        : flowData_(flowData)
    {
    }
    virtual ~Integrator() = default;
    Integrator(const Integrator&) = delete;
    Integrator& operator=(const Integrator&) = delete;

    // May the trace go on after this newly stored point?
    virtual bool acceptPoint(const Vector3& point) const;
    // Traces one half-line from seed into line: with the flow for a positive
    // step, against it for a negative one. The base class leaves line alone.
    // The schemes end a line silently when the length or the step budget is
    // used up, a sample fails, the speed is not positive, a step lands on a
    // point that is not finite (not stored), the list cannot grow, the new
    // point comes back near the line (with a self distance; it stays), or
    // acceptPoint rejects the new point (which stays).
    virtual void traceLine(const Vector3& seed, PointList& line, float step);
    // Traces count half-lines from the same seed, line k with steps[k], each
    // exactly as traceLine would. The half-lines are independent, so a scheme
    // may take their steps in turns (two chains of samples keep the processor
    // busier than one); the base class traces them one after another.
    virtual void traceLines(const Vector3& seed, PointList* const* lines, const float* steps, int count);

    void setStep(float step) { step_ = step; }
    void setMaxLength(float maxLength) { maxLength_ = maxLength; }
    void setMaxSteps(int maxSteps) { maxSteps_ = maxSteps; }
    void setParameters(const TraceParameters& parameters);
    float step() const { return step_; }
    float maxLength() const { return maxLength_; }
    int maxSteps() const { return maxSteps_; }
    bool normalizedStep() const { return normalizedStep_; }
    float selfDistance() const { return selfDistance_; }

    // Forward half-line with step, backward half-line with -step (through
    // traceLines); both start with the seed (z set to 0) unless the seed is
    // not a finite point, in which case both stay empty. With a self distance,
    // both half-lines are tested against the points of this streamline only
    // (traceLine alone tests against those of the last traceBoth as well).
    void traceBoth(const Vector3& seed);
    const PointList& forwardLine() const { return forward_; }
    const PointList& backwardLine() const { return backward_; }

protected:
    // The tracing loop shared by the schemes, run for count half-lines from
    // the same seed. Lines are traced kInTurn at a time in lock step: each
    // stage of a step is taken for all of them before the next stage, so the
    // processor works on independent chains of samples at once. Each line
    // ends exactly as if it had been traced alone, as long as acceptPoint
    // answers for a point whatever was asked before.
    //
    // advance(P, D, h, moved, n) takes one step for each of n lines: it moves
    // P[k] by a step of length h[k] from the direction D[k] sampled at P[k]
    // and sets moved[k]; where one of its own samples fails it leaves P[k]
    // unchanged and moved[k] false.
    static constexpr int kInTurn = 2;
    template <class StepRule>
    void traceWith(const Vector3& seed, PointList* const* lines, const float* steps, int count, StepRule advance);

    const FlowData* flowData_;

private:
    PointList forward_;
    PointList backward_;
    float step_ = 1.0f;
    float maxLength_ = 10.0f;
    int maxSteps_ = 100;
    bool normalizedStep_ = false;
    float selfDistance_ = 0.0f;
    SelfOverlapTest selfOverlap_;
};

template <class StepRule>
void Integrator::traceWith(
    const Vector3& seed, PointList* const* lines, const float* steps, int count, StepRule advance)
{
    struct HalfLine {
        PointList* line = nullptr;
        float step = 0.0f;
        Vector3 p;
        float length = 0.0f;
        int n = 0;
        // The samples at p, taken as soon as p is known.
        bool sampled = false;
        Vector3 direction;
        float speed = 0.0f;
    };
    const auto sample = [this](HalfLine& h) { h.sampled = flowData_->directionAndSpeedAt(h.p, h.direction, h.speed); };
    // The self-overlap test records the points of both half-lines in the
    // order they are traced, and the backward one is tested against the whole
    // forward one: with it, the lines go one after another.
    const int inTurn = selfDistance_ > 0.0f ? 1 : kInTurn;
    for (int first = 0; first < count; first += inTurn) {
        HalfLine running[kInTurn];
        int runningCount = 0;
        for (int k = first; k < count && k < first + inTurn; ++k) {
            PointList& line = *lines[k];
            line.clear();
            Vector3 p = seed;
            // A point that is not finite can be neither sampled nor drawn.
            if (!std::isfinite(p.x) || !std::isfinite(p.y) || !line.append(p))
                continue;
            if (!(maxLength_ > 0.0f))
                continue;
            HalfLine& h = running[runningCount++];
            h = HalfLine {};
            h.line = &line;
            h.step = steps[k];
            h.p = p;
            h.n = maxSteps_;
            sample(h);
        }
        while (runningCount > 0) {
            Vector3 p[kInTurn];
            Vector3 direction[kInTurn];
            float length[kInTurn];
            int stepping = 0;
            for (int k = 0; k < runningCount; ++k) {
                HalfLine& h = running[k];
                if (h.n <= 0 || !h.sampled || h.speed <= 0.0f) {
                    h.line = nullptr;
                    continue;
                }
                float speed = h.speed;
                // A positive speed means a positive maximum: no division by zero.
                if (normalizedStep_)
                    speed = speed / flowData_->getMaxSpeed();
                p[stepping] = h.p;
                direction[stepping] = h.direction;
                length[stepping] = speed * h.step;
                ++stepping;
            }
            bool moved[kInTurn] = {};
            if (stepping > 0)
                advance(p, direction, length, moved, stepping);
            // What the step gave each line, in the order of the lines.
            int j = 0;
            int kept = 0;
            for (int k = 0; k < runningCount; ++k) {
                HalfLine h = running[k];
                if (h.line == nullptr)
                    continue;
                const int taken = j++;
                if (!moved[taken])
                    continue;
                h.p = p[taken];
                // Where the blended velocity is zero but the blended speed is
                // not, the direction has no length to scale and the step lands
                // nowhere: such a point would poison drawing and seeding, so
                // the line ends.
                if (!std::isfinite(h.p.x) || !std::isfinite(h.p.y))
                    continue;
                // A block that cannot grow ends the line with what it holds.
                if (!h.line->append(h.p))
                    continue;
                h.length = h.length + std::fabs(length[taken]);
                // Arc lengths count from the seed, negative against the flow.
                if (selfDistance_ > 0.0f && selfOverlap_.comesBack(h.p, h.step < 0.0f ? -h.length : h.length))
                    continue;
                // The next step's samples before the separation test: both
                // only read, and the processor works on both at once. They go
                // unused where the line ends here.
                sample(h);
                if (!acceptPoint(h.p))
                    continue;
                h.n = h.n - 1;
                if (h.length >= maxLength_)
                    continue;
                running[kept++] = h;
            }
            runningCount = kept;
        }
    }
}

} // namespace tvl
