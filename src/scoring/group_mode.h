// How a keyword group earns its points.
#ifndef VANTRY_SCORING_GROUP_MODE_H_
#define VANTRY_SCORING_GROUP_MODE_H_

namespace vantry {

// Every switch on a mode names each enumerator and has no default, so that a new mode
// is a compile warning at every place that must handle it.
enum class GroupMode {
  // Worth the points box once, through its first alternative found.
  kUnordered,
  // Adds the places of its alternative to the question's order chain; the chain earns
  // the bonus, the group nothing on its own.
  kOrdered,
};

}  // namespace vantry

#endif  // VANTRY_SCORING_GROUP_MODE_H_
