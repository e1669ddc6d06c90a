// The tables window against peers snmpd cannot play: chosen ifSpeed rows,
// an agent that answers every walk with an error, and a silent one.
