#pragma once

class QWidget;

// The pages' colours, from one table of which control gets which ink and
// paper; the forms hold places, sizes and captions only.
namespace page_colours {

// Colours `page` and its controls as the table names them, in every colour
// group alike: the design shows disabled and inactive controls in their
// enabled colours. Throws std::logic_error naming a control the table lists
// for the page and the page lacks, so a renamed control fails loudly.
void Apply(QWidget& page);

}  // namespace page_colours
