#pragma once
// The node and area building tools, by name for tool models and the export
// job. Idempotent.
void RegisterNodeAreaClasses();
