#include "tasks.h"

const TaskDescriptor TaskDescriptors[TASKCOUNT] = {
    {AddThird, "Add Third", true, "Top", "Bottom",
     "Adds a (diatonic) third interval to the chord."},
    {AddOctave, "Add Octave", true, "Top", "Bottom", "Adds an octave interval to the chord."},
    {AddReverseOctave, "Add Reverse Octave", true, "Top (add below)", "Bottom (add above)",
     "Adds an octave interval to the chord in the reverse direction."},
    {DeleteOctaves, "Delete Octaves", true, "Top", "Bottom", "Removes any octave doubling."},
    {DeleteOuterNote, "Delete Outer Note", true, "Top", "Bottom",
     "Deletes the edge note of the chord."},
    {DeleteUnisons, "Delete Unisons", false, "Top/Up", "Bottom/Down",
     "Makes sure there's just one note of each pitch."},
    {Drop2nd, "Drop 2nd", false, "Top/Up", "Bottom/Down",
     "Transposes the 2nd highest note in a chord one octave down."},
    {Drop3rd, "Drop 3rd", false, "Top/Up", "Bottom/Down",
     "Transposes the 3rd highest note in a chord one octave down."},
    {Drop4th, "Drop 4th", false, "Top/Up", "Bottom/Down",
     "Transposes the bottom note in a chord one octave down."},
    {Drop2ndAnd4th, "Drop 2nd+4th", false, "Top/Up", "Bottom/Down",
     "Transposes the 2nd highest and bottom notes in a one octave down."},
    {KeepLines, "Keep Lines", false, "Top/Up", "Bottom/Down",
     "Removes all notes from a chord, except the top and bottom note."},
    {KeepSpecificLine, "Keep Specific Line", true, "Top Line", "Bottom Line",
     "Removes all notes from a chord, except the top/bottom note."},
    {Rotate, "Rotate", true, "Up", "Down",
     "Rotates the chord up or down (by moving the top/bottom note in the chord down/up). Only "
     "affects chords less than an octave."},
    {TransposeOctave, "Transpose Octave", true, "Top (goes Up)", "Bottom (goes Down)",
     "Transposes the edge note one octave. Single notes are not transposed."},
    {TransposeOctaveChord, "Transpose Octave (Chord)", true, "Up", "Down",
     "Transposes the full chord one octave. Single notes are not transposed."},
    {UnisonsToOctaves, "Unisons to Octaves", true, "Upwards", "Downwards",
     "Splits unisons into octaves."},
    {AddSecond, "Add Second", true, "Top", "Bottom",
     "Adds a (diatonic) second interval to the chord."},
    {AddFourth, "Add Fourth", true, "Top", "Bottom",
     "Adds a (diatonic) fourth interval to the chord."},
    {AddFifth, "Add Fifth", true, "Top", "Bottom",
     "Adds a (diatonic) fifth interval to the chord."},
    {AddSixth, "Add Sixth", true, "Top", "Bottom",
     "Adds a (diatonic) sixth interval to the chord."},
    {AddSeventh, "Add Seventh", true, "Top", "Bottom",
     "Adds a (diatonic) seventh interval to the chord."},
    {ClosePosition, "Close Position", true, "Top (close below)", "Bottom (close above)",
     "Moves the other notes by octaves into close position under the top note (or over the "
     "bottom note). Single notes are not moved."},
    {VoiceLeading, "Voice Leading", true, "Top", "Bottom",
     "Moves notes by octaves so voices move least from chord to chord, keeping the top (bottom) "
     "note. Single notes, grace notes and 12-note chords stay."},
    {Explode, "Explode", true, "Top", "Bottom",
     "Spreads the chords of the top staff over the other selected staves, one line each: the "
     "top note to the first staff (or the bottom note to the last)."},
    {Reduce, "Reduce", true, "Top", "Bottom",
     "Gathers the selected staves into chords on the top (or bottom) staff, a chord at every "
     "note of any staff, held notes tied into it; the other staves get rests."},
};

UserSettings GlobalUserSettings = {};
