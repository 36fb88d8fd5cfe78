#pragma once
// The media components a form description may hold: the task component (TQuillon), the logger
// (TFFLogger) and the player (TFFPlayer), with their published properties and events.
// Registers them once; any later call does nothing. Call it before reading such a form.
void RegisterMediaFormClasses();
